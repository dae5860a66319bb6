// suirei-play: the game without its window.
//
// Runs start-up, then reads one button a line from standard input (its
// identity, "Command3", or its caption, "移動"; blank lines and lines starting
// with '#' are skipped) and writes one JSON object a line describing what the
// player would see. Script authors replay sessions with it; tests diff its
// output. It reads no picture files.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "game.hpp"
#include "protocol.hpp"
#include "stretches.hpp"

namespace {

using namespace suirei;

// Longest part of an input line kept: far more than any button's name, and
// enough to show in an error what a stray line was.
constexpr std::size_t kLineKept = 200;

[[noreturn]] void fail(const char* what) {
    const int saved = errno;
    std::fprintf(stderr, "suirei-play: %s: %s\n", what, saved ? std::strerror(saved) : "unknown error");
    std::exit(1);
}

// The next line of standard input, read one byte at a time, so that a person
// or a program on the other end of a pipe sees each page as soon as its click
// is read. A read error (standard input is a folder, say) is an error, not the
// end of input.
std::optional<std::string> next_line() {
    std::string line;
    bool any = false, cut = false;
    for (int c; (c = std::getc(stdin)) != EOF;) {
        any = true;
        if (c == '\n') break;
        if (line.size() < kLineKept) line += static_cast<char>(c);
        else cut = true;
    }
    if (std::ferror(stdin)) fail("cannot read standard input");
    if (!any) return std::nullopt;
    if (cut) line += "…";
    return line;
}

// Every object goes out whole and at once, on a line of its own; a failed
// write (a full disk, say) stops the driver with status 1, so a replay that
// lost its output never looks like one that passed.
void emit(std::string object) {
    object += '\n';
    if (std::fwrite(object.data(), 1, object.size(), stdout) != object.size() || std::fflush(stdout) != 0)
        fail("cannot write standard output");
}

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t\r") - first + 1));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view arg = argv[1];
        const bool help = arg == "--help" || arg == "-h";
        std::cerr << (help ? "" : "suirei-play: takes no arguments\n")
                  << "usage: suirei-play < clicks\n"
                     "Reads one button a line (Command1..Command12 or its caption, e.g. 話す),\n"
                     "writes one JSON object a line: click, state, visible, text, picture, frames, ended.\n";
        return help ? 0 : 2;
    }
#ifdef _WIN32
    // The same bytes as on Linux: one LF per object, and a route file's line
    // ends read as they are (CR LF is trimmed like any trailing space).
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif

    Game game(story());
    game.start();
    emit(protocol::play_line(game, std::nullopt));

    for (bool first = true; const auto line = next_line(); first = false) {
        // Some editors on Windows begin a UTF-8 file with a byte-order mark.
        const bool mark = first && line->starts_with("\xEF\xBB\xBF");
        const std::string word = trim(std::string_view(*line).substr(mark ? 3 : 0));
        if (word.empty() || word.front() == '#') continue;
        const auto b = find_button(word);
        if (!b) {
            emit(protocol::error("no such button: \"" + word + "\" (use Command1..Command12 or a caption such as 話す)"));
            continue;
        }
        if (const auto why = game.refusal(*b)) {
            emit(protocol::error(*why));
            continue;
        }
        game.click(*b);
        emit(protocol::play_line(game, *b));
        if (game.ended()) return 0;
    }
    return 0;
}
