// suirei-strings: prints every text the game can put on its window, one a
// line: the button captions and every page T1 shows anywhere in the story.
// The build makes the page's font from these, so the font holds exactly the
// characters the game uses. The pages come from the story checker's
// exploration, which clicks every shown button in every situation, so lines
// the engine writes itself (the Move prompt) are found as well as the
// script's; the direct texts of the rules add the battle cry, which stands on
// the page only while the strike plays.
#include <iostream>
#include <set>
#include <string>

#include "check.hpp"
#include "exploration.hpp"
#include "memory_screen.hpp"
#include "stretches.hpp"
#include "story.hpp"

int main(int argc, char** argv) {
    using namespace suirei;
    const Script& script = story();

    // --pictures: the scene pictures' file names instead, one a line, the
    // one start-up shows first.
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

    std::set<std::string, std::less<>> texts;
    for (Button b : kAllButtons) {
        texts.emplace(caption(b));
        for (const Rule* rule : script.rules(b))
            for (const Action& a : *rule)
                if (a.op == Op::Text) texts.emplace(a.text);
    }
    const check::Exploration explored(script);
    for (const check::Situation& s : explored.situations()) texts.emplace(s.text);
    for (const std::string& t : texts) std::cout << t << '\n';
    std::cerr << "suirei-strings: " << explored.situations().size() << " situations, " << texts.size() << " texts\n";
    return 0;
}
