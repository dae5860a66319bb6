// What the play driver and the page in the browser are told about a game, as
// JSON. Both write through here, so the same fact reads the same way in a
// recorded route and on the page: the visible buttons, the page text, the
// picture, the frames of the strike, the refusal of a click.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game.hpp"
#include "json.hpp"

namespace suirei::protocol {

// A JSON text written value by value. It alone puts the commas: before every
// value or key but the first in its object or array, never after a key.
class Writer {
public:
    Writer& object() { return open('{', '}'); }
    Writer& array() { return open('[', ']'); }
    Writer& end();  // closes the innermost one
    Writer& key(std::string_view name) { return put(json::quote(name) + ':'); }
    Writer& string(std::string_view text) { return put(json::quote(text)); }
    Writer& number(long long n) { return put(std::to_string(n)); }
    Writer& boolean(bool b) { return put(b ? "true" : "false"); }
    Writer& null() { return put("null"); }

    // The text so far; whole once every object and array is closed.
    const std::string& text() const { return out_; }

private:
    Writer& put(std::string_view token);
    Writer& open(char bracket, char closing);

    std::string out_;
    std::string closing_;  // per open bracket, the one that closes it
};

// The play driver's line after start-up (no click) or after a click of
// `clicked`: click, state, visible, text, picture, frames, ended. The frames
// are the pictures the click loaded, in order; taking them clears them.
std::string play_line(Game& game, std::optional<Button> clicked);

// What the page shows now, with the frames of the strike the last click
// queued (taken, so they are told once; each with its page as a screen reader
// says it), where the keyboard focus goes from `focused`, what a screen
// reader hears beside each described button's caption (the choice line on
// "1" and "2"), and the page as a screen reader says it.
std::string page_state(Game& game, std::optional<Button> focused);

// The window's fixed parts for the page: title and short title, size, colour,
// the largest file the game reads, every control (its name and kind) in tab
// order and every scene picture with what it shows.
std::string window();

// {"error": message}
std::string error(std::string_view message);

}  // namespace suirei::protocol
