// suirei-prerender: the opening page as the page's own markup, made at build
// time from the engine, so that a player sees the window the moment the first
// bytes of the page arrive: the window and its controls from the layout
// table, the page text, the shown buttons and the picture that start-up
// leaves, the keyboard focus where the engine puts it. The page's script,
// once the engine has loaded, takes hold of this markup as it stands and
// draws every later page on it.
//
//   suirei-prerender FAMILY URL
//
// prints one JSON object: "style" (the window's numbers as CSS properties,
// which the page's style sheet lays the window out by), "window" (the markup
// of Form6, whose opening picture's <img> takes URL) and "characters" (the
// text the opening page paints, for the font that comes inline with it).
// FAMILY is the page's own font, placed before the window's list of faces.
#include <cstdio>
#include <string>
#include <string_view>

#include "game.hpp"
#include "json.hpp"
#include "layout.hpp"
#include "pictures.hpp"
#include "protocol.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// T1 keeps line breaks as LF alone, as a text box does.
std::string as_textarea(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

std::string_view description(std::string_view file) {
    for (const Picture& p : kPictures)
        if (p.file == file) return p.description;
    return {};
}

std::string geometry(const layout::Rect& r) {
    return "--x:" + std::to_string(r.x) + ";--y:" + std::to_string(r.y) + ";--w:" + std::to_string(r.width) +
           ";--h:" + std::to_string(r.height);
}

std::string style(std::string_view family) {
    using namespace layout;
    std::string fonts = json::quote(family) + ",";
    for (std::string_view f : kFontFamilies) fonts += json::quote(f) + ",";
    fonts += "sans-serif";
    return ":root{--width:" + std::to_string(kClientWidth) + ";--height:" + std::to_string(kClientHeight) +
           ";--font-pixels:" + std::to_string(kFontPixels) + ";--line-height:" + std::to_string(kLineHeight) +
           ";--page-margin:" + std::to_string(kPageMargin) + ";--background:rgb(" +
           std::to_string(kBackground.red) + "," + std::to_string(kBackground.green) + "," +
           std::to_string(kBackground.blue) + ");--fonts:" + fonts + "}";
}

// Form6 as the page shows it after start-up; `painted` gets the text it
// paints.
std::string window(const Game& game, std::string_view pictureSrc, std::string& painted) {
    const MemoryScreen& screen = game.screen();
    const std::string picture = screen.picture().value_or("");
    const FocusDecision focus = game.focus(std::nullopt);

    std::string html = "<main id=\"Form6\" aria-label=\"" + escaped(layout::kTitle) + "\" tabindex=\"-1\" data-state=\"" +
                       std::to_string(game.state()) + "\">\n";
    for (const layout::Control& c : layout::kControls) {
        const std::string id = "id=\"" + std::string(c.name) + "\" style=\"" + geometry(c.rect) + "\"";
        switch (c.kind) {
        case layout::Kind::picture:
            html += "<div " + id + " role=\"img\" aria-label=\"" + escaped(description(picture)) + "\" data-file=\"" +
                    escaped(picture) + "\"><img src=\"" + escaped(pictureSrc) +
                    "\" alt=\"\" draggable=\"false\"></div>\n";
            break;
        case layout::Kind::text: {
            const std::string text = as_textarea(std::string(screen.text()));
            painted += text;
            // The parser drops one line break right after <textarea>.
            html += "<textarea " + id + " aria-label=\"" + escaped(c.accessibleName) +
                    "\" readonly spellcheck=\"false\" tabindex=\"-1\" wrap=\"off\">" + (text.starts_with('\n') ? "\n" : "") +
                    escaped(text) + "</textarea>\n";
            break;
        }
        case layout::Kind::button: {
            const Button b = *c.button;
            const bool shown = screen.isVisible(b);
            if (shown) painted += c.caption;
            html += "<button type=\"button\" " + id;
            if (c.accessibleName != c.caption) html += " aria-label=\"" + escaped(c.accessibleName) + "\"";
            if (!shown) html += " hidden";
            if (shown && focus.kind == FocusDecision::Kind::move && focus.to == b) html += " autofocus";
            html += ">" + escaped(c.caption) + "</button>\n";
            break;
        }
        }
    }
    return html + "</main>";
}

}  // namespace
}  // namespace suirei

int main(int argc, char** argv) {
    using namespace suirei;
    if (argc != 3) {
        std::fputs("usage: suirei-prerender FAMILY URL\n", stderr);
        return 2;
    }

    Game game(story());
    game.start();
    std::string painted;
    const std::string markup = window(game, argv[2], painted);

    protocol::Writer w;
    w.object();
    w.key("style").string(style(argv[1]));
    w.key("window").string(markup);
    w.key("characters").string(painted);
    w.end();
    const std::string out = w.text() + "\n";
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fputs("suirei-prerender: cannot write the opening page to standard output\n", stderr);
        return 1;
    }
    return 0;
}
