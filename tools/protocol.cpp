#include "protocol.hpp"

#include <array>

#include "bitmap.hpp"
#include "layout.hpp"
#include "page.hpp"
#include "pictures.hpp"

namespace suirei::protocol {

Writer& Writer::put(std::string_view token) {
    // Whatever was written last, a comma goes after it unless it opened an
    // object or an array or was a key.
    if (!out_.empty() && std::string_view("{[:").find(out_.back()) == std::string_view::npos) out_ += ',';
    out_ += token;
    return *this;
}

Writer& Writer::open(char bracket, char closing) {
    closing_ += closing;
    return put(std::string_view(&bracket, 1));
}

Writer& Writer::end() {
    out_ += closing_.back();
    closing_.pop_back();
    return *this;
}

namespace {

void visible(Writer& w, const std::array<bool, kButtonCount>& shown) {
    w.key("visible").array();
    for (Button b : kAllButtons)
        if (shown[static_cast<std::size_t>(index(b))]) w.string(name(b));
    w.end();
}

// A string, or null when there is none.
template <class Text>
void optional_string(Writer& w, std::string_view key, const std::optional<Text>& s) {
    w.key(key);
    if (s) w.string(*s);
    else w.null();
}

// What every front end shows of the screen: the state, the buttons, the page
// and the picture.
void screen(Writer& w, const Game& game) {
    w.key("state").number(game.state());
    visible(w, game.screen().visibility());
    w.key("text").string(game.screen().text());
    optional_string(w, "picture", game.screen().picture());
}

// The names of FocusDecision::Kind and layout::Kind, in their order.
constexpr std::string_view kFocusKinds[] = {"stay", "move", "none"};
constexpr std::string_view kControlKinds[] = {"picture", "text", "button"};

}  // namespace

std::string play_line(Game& game, std::optional<Button> clicked) {
    Writer w;
    w.object();
    if (clicked) w.key("click").string(name(*clicked));
    screen(w, game);
    w.key("frames").array();
    for (const std::string& file : game.screen().takeLoads()) w.string(file);
    w.end();
    game.screen().takeFrames();  // the driver plays nothing
    w.key("ended").boolean(game.ended());
    return w.end().text();
}

std::string page_state(Game& game, std::optional<Button> focused) {
    Writer w;
    w.object();
    screen(w, game);
    game.screen().takeLoads();  // the page plays frames, not loads
    w.key("frames").array();
    for (const HeldFrame& f : game.screen().takeFrames()) {
        w.object().key("picture").string(f.picture).key("text").string(f.text);
        visible(w, f.visible);
        w.key("hold").number(f.hold.count());
        w.key("spoken").string(spoken(f.text)).end();
    }
    w.end();
    w.key("ended").boolean(game.ended());

    const FocusDecision focus = game.ended() ? FocusDecision{FocusDecision::Kind::none, {}} : game.focus(focused);
    w.key("focus").object().key("kind").string(kFocusKinds[static_cast<int>(focus.kind)]);
    const bool moves = focus.kind == FocusDecision::Kind::move;
    optional_string(w, "to", moves ? std::optional(name(focus.to)) : std::nullopt);
    w.end();
    w.key("described").object();
    for (Button b : kAllButtons)
        if (const auto d = game.description(b)) w.key(name(b)).string(*d);
    w.end();
    w.key("spoken").string(spoken(game.screen().text()));
    return w.end().text();
}

std::string window() {
    Writer w;
    w.object();
    w.key("title").string(layout::kTitle);
    w.key("shortTitle").string(layout::kShortTitle);
    w.key("width").number(layout::kClientWidth);
    w.key("height").number(layout::kClientHeight);
    w.key("background").array();
    for (int c : {layout::kBackground.red, layout::kBackground.green, layout::kBackground.blue}) w.number(c);
    w.end();
    w.key("maxFileBytes").number(bitmap::kMaxBytes);

    w.key("controls").array();
    for (const layout::Control& c : layout::kControls)
        w.object().key("name").string(c.name).key("kind").string(kControlKinds[static_cast<int>(c.kind)]).end();
    w.end();

    w.key("pictures").array();
    for (const Picture& p : kPictures) w.object().key("file").string(p.file).key("description").string(p.description).end();
    w.end();
    return w.end().text();
}

std::string error(std::string_view message) {
    Writer w;
    return w.object().key("error").string(message).end().text();
}

}  // namespace suirei::protocol
