// The game's engine as the page sees it: one Game, and the calls the page
// makes from JavaScript. Everything the page draws comes from here as JSON
// (see tools/protocol.hpp): the window's controls and pictures, the page
// text, the visible buttons, the frames of the strike and where the keyboard
// focus goes. The page itself knows no story, no picture and no button rule.
// Each reply is UTF-8 and stays valid until the next call.
#include <emscripten/emscripten.h>

#include <optional>
#include <string>
#include <utility>

#include "game.hpp"
#include "protocol.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

std::optional<Game> game;

const char* reply(std::string text) {
    static std::string r;
    r = std::move(text);
    return r.c_str();
}

// Command<number> into `out`, or no button for 0; false for any other number.
bool button_number(int number, std::optional<Button>& out) {
    if (number < 0 || number > kButtonCount) return false;
    out = number ? std::optional<Button>(button_at(number - 1)) : std::nullopt;
    return true;
}

const char* no_such_button(int number) {
    return reply(protocol::error("no such button: Command" + std::to_string(number)));
}

}  // namespace
}  // namespace suirei

extern "C" {

// The window's fixed parts: its title, size and colour, the largest file the
// game reads, every control in tab order, and every scene picture with what
// it shows, so the page can take hold of the window and fetch the pictures
// before the game starts.
EMSCRIPTEN_KEEPALIVE const char* suirei_window() {
    return suirei::reply(suirei::protocol::window());
}

// A new game: the opening page. At load, and again for 「はじめから遊ぶ」,
// with nothing loaded again.
EMSCRIPTEN_KEEPALIVE const char* suirei_start() {
    using namespace suirei;
    game.emplace(story());
    game->start();
    return reply(protocol::page_state(*game, std::nullopt));
}

// A click of Command<number>, with the focus on Command<focused> (0: on no
// button). Command0 clicks nothing and tells where the focus goes from
// `focused`: when the focus has left the buttons, say. The page forwards only
// clicks of shown buttons; anything else is refused here too, and changes
// nothing.
EMSCRIPTEN_KEEPALIVE const char* suirei_click(int number, int focused) {
    using namespace suirei;
    if (!game) return reply(protocol::error("the game has not started"));
    std::optional<Button> b, f;
    if (!button_number(number, b)) return no_such_button(number);
    if (!button_number(focused, f)) return no_such_button(focused);
    if (b) {
        if (const auto why = game->refusal(*b)) return reply(protocol::error(*why));
        game->click(*b);
    }
    return reply(protocol::page_state(*game, f));
}

}  // extern "C"
