// suirei-play: the game without its window.
//
// Runs start-up, then reads one button a line from standard input (its
// identity, "Command3", or its caption, "移動"; blank lines and lines starting
// with '#' are skipped) and writes one JSON object a line describing what the
// player would see. Script authors replay sessions with it; tests diff its
// output. It reads no picture files.
#include <iostream>
#include <string>
#include <vector>

#include "json.hpp"
#include "memory_screen.hpp"
#include "stretches.hpp"
#include "story.hpp"

namespace {

using namespace suirei;

std::string trim(std::string s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

void report(std::ostream& out, const Story& story, MemoryScreen& screen, const Button* clicked) {
    out << '{';
    if (clicked) out << "\"click\":" << json::quote(name(*clicked)) << ',';
    out << "\"state\":" << story.state() << ",\"visible\":[";
    bool first = true;
    for (Button b : kAllButtons)
        if (screen.isVisible(b)) {
            out << (first ? "" : ",") << json::quote(name(b));
            first = false;
        }
    out << "],\"text\":" << json::quote(screen.text()) << ",\"picture\":";
    if (screen.picture()) out << json::quote(*screen.picture());
    else out << "null";
    out << ",\"frames\":[";
    std::string previous;
    first = true;
    for (const std::string& file : screen.takeLoads()) {
        if (file == previous) continue;  // a frame held by loading it again
        out << (first ? "" : ",") << json::quote(file);
        previous = file;
        first = false;
    }
    out << "],\"ended\":" << (screen.ended() ? "true" : "false") << "}\n";
    out.flush();
}

void error(std::ostream& out, const std::string& message) {
    out << "{\"error\":" << json::quote(message) << "}\n";
    out.flush();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string arg = argv[1];
        std::cerr << (arg == "--help" || arg == "-h" ? "" : "suirei-play: takes no arguments\n")
                  << "usage: suirei-play < clicks\n"
                     "Reads one button a line (Command1..Command12 or its caption, e.g. 話す),\n"
                     "writes one JSON object a line: click, state, visible, text, picture, frames, ended.\n";
        return arg == "--help" || arg == "-h" ? 0 : 2;
    }

    const Script& script = story();
    MemoryScreen screen;
    Story game(screen, script);
    game.Form_Load();
    report(std::cout, game, screen, nullptr);

    std::string line;
    while (std::getline(std::cin, line)) {
        const std::string word = trim(line);
        if (word.empty() || word.front() == '#') continue;
        const auto b = find_button(word);
        if (!b) {
            error(std::cout, "no such button: \"" + word + "\" (use Command1..Command12 or a caption such as 話す)");
            continue;
        }
        if (!screen.isVisible(*b)) {
            error(std::cout, std::string(name(*b)) + " (" + std::string(caption(*b)) +
                                 ") is not visible at state " + std::to_string(game.state()));
            continue;
        }
        game.click(*b);
        report(std::cout, game, screen, &*b);
        if (screen.ended()) return 0;
    }
    return 0;
}
