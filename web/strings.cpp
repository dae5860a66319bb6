// suirei-strings: prints every text the game can put on its window, one a
// line: the button captions and every page T1 shows anywhere in the story.
// The build makes the page's font from these, so the font holds exactly the
// characters the game uses. The pages come from the story checker's
// exploration, which clicks every shown button in every situation, so lines
// the engine writes itself (the Move prompt) are found as well as the
// script's; the direct texts of the rules add the battle cry, which stands on
// the page only while the strike plays.
//
// Instead, with
//   --window    the window's description, as the page's engine gives it at
//               load (title, size, colour, the largest file, every control and
//               every scene picture), so that the page's title, its manifest
//               and its files table can be made from it ahead of time;
//   --pictures  the scene pictures' file names, one a line, the one start-up
//               shows first.
#include <iostream>
#include <set>
#include <string>

#include "check.hpp"
#include "exploration.hpp"
#include "game.hpp"
#include "protocol.hpp"
#include "stretches.hpp"

int main(int argc, char** argv) {
    using namespace suirei;
    const Script& script = story();
    const std::string option = argc > 1 ? argv[1] : "";

    if (option == "--window") {
        std::cout << protocol::window() << '\n';
        return 0;
    }
    if (option == "--pictures") {
        Game game(script);
        game.start();
        const std::string opening = game.screen().picture().value_or("");
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
