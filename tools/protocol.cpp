#include "protocol.hpp"

#include <array>

#include "bitmap.hpp"
#include "json.hpp"
#include "layout.hpp"
#include "page.hpp"
#include "pictures.hpp"

namespace suirei::protocol {

void Writer::value() {
    if (!first_) out_ += ',';
    first_ = false;
}

void Writer::open(char bracket, char closing) {
    value();
    out_ += bracket;
    closing_.push_back(closing);
    first_ = true;
}

Writer& Writer::object() {
    open('{', '}');
    return *this;
}

Writer& Writer::array() {
    open('[', ']');
    return *this;
}

Writer& Writer::end() {
    out_ += closing_.back();
    closing_.pop_back();
    first_ = false;
    return *this;
}

Writer& Writer::key(std::string_view name) {
    value();
    out_ += json::quote(name);
    out_ += ':';
    first_ = true;  // the key's value takes no comma
    return *this;
}

Writer& Writer::string(std::string_view text) {
    value();
    out_ += json::quote(text);
    return *this;
}

Writer& Writer::number(long long n) {
    value();
    out_ += std::to_string(n);
    return *this;
}

Writer& Writer::boolean(bool b) {
    value();
    out_ += b ? "true" : "false";
    return *this;
}

Writer& Writer::null() {
    value();
    out_ += "null";
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

// The button the focus goes to, when it moves.
std::optional<std::string_view> target(const FocusDecision& d) {
    if (d.kind == FocusDecision::Kind::move) return name(d.to);
    return std::nullopt;
}

constexpr std::string_view kind_name(FocusDecision::Kind kind) {
    switch (kind) {
    case FocusDecision::Kind::stay: return "stay";
    case FocusDecision::Kind::move: return "move";
    case FocusDecision::Kind::none: return "none";
    }
    return "none";
}

constexpr std::string_view kind_name(layout::Kind kind) {
    switch (kind) {
    case layout::Kind::picture: return "picture";
    case layout::Kind::text: return "text";
    case layout::Kind::button: return "button";
    }
    return "";
}

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
    w.key("focus").object().key("kind").string(kind_name(focus.kind));
    optional_string(w, "to", target(focus));
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
        w.object().key("name").string(c.name).key("kind").string(kind_name(c.kind)).end();
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
