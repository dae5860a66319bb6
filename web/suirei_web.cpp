// The game's engine as the page sees it: a screen that remembers what the
// engine shows (like the play driver's), and four calls the page makes from
// JavaScript. Everything the page draws comes from here as JSON: the captions,
// the picture names, the page text, the visible buttons and the frames of the
// strike. The page itself knows no story, no picture and no button rule.
#include <emscripten/emscripten.h>

#include <array>
#include <optional>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "check.hpp"
#include "focus.hpp"
#include "json.hpp"
#include "memory_screen.hpp"
#include "screen.hpp"
#include "stretches.hpp"
#include "story.hpp"

namespace suirei {
namespace {

// The page's screen remembers what the engine shows, as the play driver's
// does. Nothing in it waits: a frame of the strike is queued with the page
// and the buttons as they stand, and the page plays the queue on its own
// timer once the click has returned.
struct Game {
    MemoryScreen screen;
    Story story{screen, suirei::story()};
    bool started = false;
};

Game& game() {
    static Game g;
    return g;
}

std::string& reply() {
    static std::string r;
    return r;
}

void visibleList(std::string& out, const std::array<bool, kButtonCount>& visible) {
    out += '[';
    bool first = true;
    for (Button b : kAllButtons)
        if (visible[static_cast<std::size_t>(index(b))]) {
            if (!first) out += ',';
            out += json::quote(name(b));
            first = false;
        }
    out += ']';
}

const char* describe(Game& g) {
    std::string& out = reply();
    out = "{\"state\":" + std::to_string(g.story.state()) + ",\"visible\":";
    visibleList(out, g.screen.visibility());
    out += ",\"text\":" + json::quote(g.screen.text());
    out += ",\"picture\":" + json::quote(g.screen.picture().value_or(""));
    g.screen.takeLoads();  // the page plays frames, not loads
    out += ",\"frames\":[";
    bool first = true;
    for (const HeldFrame& f : g.screen.takeFrames()) {
        if (!first) out += ',';
        first = false;
        out += "{\"picture\":" + json::quote(f.picture) + ",\"text\":" + json::quote(f.text) + ",\"visible\":";
        visibleList(out, f.visible);
        out += ",\"hold\":" + std::to_string(f.hold.count()) + '}';
    }
    out += "],\"ended\":";
    out += g.screen.ended() ? "true" : "false";
    // Where the keyboard focus goes when the focused button hides itself or
    // no longer moves the story.
    const std::vector<Button> moving = g.screen.ended() ? std::vector<Button>{} : moving_buttons(g.story, g.screen);
    out += ",\"moving\":[";
    for (std::size_t i = 0; i < moving.size(); ++i) out += (i ? "," : "") + json::quote(name(moving[i]));
    const FocusDecision d = g.screen.ended() ? FocusDecision{FocusDecision::Kind::none, {}}
                                             : decide_focus(g.story, g.screen, std::nullopt);
    const std::optional<Button> next = d.kind == FocusDecision::Kind::move ? std::optional<Button>(d.to) : std::nullopt;
    out += "],\"next\":" + (next ? json::quote(name(*next)) : std::string("null")) + '}';
    return out.c_str();
}

const char* error(const std::string& message) {
    reply() = "{\"error\":" + json::quote(message) + '}';
    return reply().c_str();
}

}  // namespace
}  // namespace suirei

extern "C" {

// The window's fixed parts: each button's identity and caption in tab order,
// and the file names of every scene picture, so the page can fetch them all
// before it shows the window.
EMSCRIPTEN_KEEPALIVE const char* suirei_window() {
    using namespace suirei;
    std::string& out = reply();
    out = "{\"buttons\":[";
    for (Button b : kAllButtons) {
        if (b != Button::Command1) out += ',';
        out += "{\"id\":" + json::quote(name(b)) + ",\"caption\":" + json::quote(caption(b)) + '}';
    }
    out += "],\"pictures\":[";
    for (std::size_t i = 0; i < kPictureFiles.size(); ++i) {
        if (i) out += ',';
        out += json::quote(kPictureFiles[i]);
    }
    out += "]}";
    return out.c_str();
}

// Start-up: the opening page. Called once.
EMSCRIPTEN_KEEPALIVE const char* suirei_start() {
    using namespace suirei;
    Game& g = game();
    if (g.started) return error("the game has already started");
    g.started = true;
    g.story.Form_Load();
    return describe(g);
}

// A click of Command<number>. The page forwards only clicks of shown buttons;
// anything else is refused here too, and changes nothing.
EMSCRIPTEN_KEEPALIVE const char* suirei_click(int number) {
    using namespace suirei;
    Game& g = game();
    if (!g.started) return error("the game has not started");
    if (g.screen.ended()) return error("the game has ended");
    if (number < 1 || number > kButtonCount) return error("no such button: Command" + std::to_string(number));
    const Button b = button_at(number - 1);
    if (!g.screen.isVisible(b))
        return error(std::string(name(b)) + " (" + std::string(caption(b)) + ") is not visible at state " +
                     std::to_string(g.story.state()));
    g.story.click(b);
    return describe(g);
}

// What the page shows now, without clicking.
EMSCRIPTEN_KEEPALIVE const char* suirei_state() {
    using namespace suirei;
    Game& g = game();
    if (!g.started) return error("the game has not started");
    return describe(g);
}

}  // extern "C"
