// The game's window, started like the game, that plays from start-up by the
// shortest run of clicks on visible buttons until one picture is loaded, then
// ends with status 0 and prints "reached <picture>". A picture that cannot be
// shown on the way ends it the way it ends the game: the message on standard
// error and status 1. The install tests copy it into a program folder beside
// the pictures, so a picture deep in the story can go missing without anyone
// playing twenty minutes to reach it.
//
//   suirei-install-probe <picture> [--remove-before-last PATH | --remove-after-last PATH]
//
// The options remove a file or folder (relative to the program folder; "."
// is the folder itself) just before the last click, or just after it, while
// the strike that click started is still to play.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "shortest_route.hpp"
#include "form6.hpp"
#include "stretches.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("suirei"));
    QApplication::setFont(suirei::gameFont());
    const std::string option = argc == 4 ? argv[2] : "";
    if (argc != 2 && !(argc == 4 && (option == "--remove-before-last" || option == "--remove-after-last"))) {
        std::fprintf(stderr, "usage: %s <picture> [--remove-before-last PATH | --remove-after-last PATH]\n", argv[0]);
        return 2;
    }
    const std::string doomed = argc == 4 ? argv[3] : "";
    const auto remove = [&] {
        std::error_code error;
        std::filesystem::path path = doomed == "." ? std::filesystem::current_path(error) : std::filesystem::path(doomed);
        std::filesystem::remove_all(path, error);
        if (error) std::fprintf(stderr, "probe: cannot remove %s: %s\n", doomed.c_str(), error.message().c_str());
    };
    const std::string goal = argv[1];
    const auto route = suirei::testing::shortest_route(suirei::story(), suirei::testing::loads_picture(goal));
    if (!route) {
        std::fprintf(stderr, "probe: no run of clicks loads %s\n", goal.c_str());
        return 2;
    }

    suirei::Form6 window(suirei::story());
    if (!window.Form_Load()) return 1;
    window.show();
    QTimer::singleShot(0, &window, [&] {
        for (const suirei::Button& b : *route) {
            // A failed picture hides the window and ends the event loop with
            // the failure's status; nothing more is clicked.
            if (!window.isVisible()) return;
            if (const auto refused = window.game().refusal(b)) {
                std::fprintf(stderr, "probe: %s\n", refused->c_str());
                QCoreApplication::exit(2);
                return;
            }
            const bool last = &b == &route->back();
            if (last && option == "--remove-before-last") remove();
            window.button(b)->click();
            if (last && option == "--remove-after-last") remove();
        }
        if (!window.isVisible()) return;
        // A strike the last click started plays out first.
        if (window.playingFrames()) {
            QObject::connect(&window, &suirei::Form6::framesPlayed, [&] {
                std::printf("reached %s after %zu clicks at state %d\n", goal.c_str(), route->size(),
                            window.story().state());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
            return;
        }
        std::printf("reached %s after %zu clicks at state %d\n", goal.c_str(), route->size(), window.story().state());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
