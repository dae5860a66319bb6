// suirei-strings: prints every text the game can put on its window, one a
// line: the button captions and every page T1 shows anywhere in the story.
// The build makes the page's font from these, so the font holds exactly the
// characters the game uses. It plays the story the way the story checker
// does, clicking every shown button in every situation it reaches, so lines
// the engine writes itself (the Move prompt) are found as well as the
// script's.
#include <array>
#include <deque>
#include <iostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "check.hpp"
#include "memory_screen.hpp"
#include "stretches.hpp"
#include "story.hpp"

namespace {

using namespace suirei;

struct Situation {
    StoryMemory memory;
    std::array<bool, kButtonCount> visible{};
    std::string text;

    bool operator==(const Situation&) const = default;
};

}  // namespace

int main(int argc, char** argv) {
    // --pictures: the scene pictures' file names instead, one a line, the
    // one start-up shows first.
    const Script& script = story();
    if (argc > 1 && std::string(argv[1]) == "--pictures") {
        MemoryScreen screen;
        Story game(screen, script);
        game.Form_Load();
        const std::string opening = screen.picture().value_or("");
        std::cout << opening << '\n';
        for (std::string_view file : kPictureFiles)
            if (file != opening) std::cout << file << '\n';
        return 0;
    }
    std::set<std::string> texts;
    for (Button b : kAllButtons) texts.emplace(caption(b));

    MemoryScreen screen;
    Story start(screen, script);
    start.Form_Load();
    std::vector<Situation> seen{{start.memory(), screen.visibility(), std::string(screen.text())}};
    std::deque<std::size_t> todo{0};
    texts.emplace(screen.text());

    while (!todo.empty()) {
        const Situation here = seen[todo.front()];
        todo.pop_front();
        for (Button b : kAllButtons) {
            if (b == Button::Command12 || !here.visible[static_cast<std::size_t>(index(b))]) continue;
            MemoryScreen s;
            s.setVisibility(here.visible);
            s.setText(here.text);
            Story game(s, script);
            game.restore(here.memory);
            game.click(b);
            texts.emplace(s.text());
            // The battle cry stands on the page only while the strike plays.
            for (const HeldFrame& f : s.takeFrames()) texts.emplace(f.text);
            Situation next{game.memory(), s.visibility(), std::string(s.text())};
            bool known = false;
            for (const Situation& k : seen)
                if (k == next) {
                    known = true;
                    break;
                }
            if (known) continue;
            seen.push_back(std::move(next));
            todo.push_back(seen.size() - 1);
        }
    }
    for (const std::string& t : texts) std::cout << t << '\n';
    std::cerr << "suirei-strings: " << seen.size() << " situations, " << texts.size() << " texts\n";
    return 0;
}
