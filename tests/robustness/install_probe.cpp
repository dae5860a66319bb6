// The game's window, started like the game, that plays from start-up by the
// shortest run of clicks on visible buttons until one picture is loaded, then
// ends with status 0 and prints "reached <picture>". A picture that cannot be
// shown on the way ends it the way it ends the game: the message on standard
// error and status 1. The install tests copy it into a program folder beside
// the pictures, so a picture deep in the story can go missing without anyone
// playing twenty minutes to reach it.
//
//   suirei-install-probe <picture>      e.g. suirei-install-probe an3.bmp
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <string>

#include "explore.hpp"
#include "form6.hpp"
#include "stretches.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("suirei"));
    QApplication::setFont(suirei::Form6::gameFont());
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <picture>\n", argv[0]);
        return 2;
    }
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
        for (suirei::Button b : *route) {
            // A failed picture hides the window and ends the event loop with
            // the failure's status; nothing more is clicked.
            if (!window.QWidget::isVisible()) return;
            if (!window.isVisible(b)) {
                std::fprintf(stderr, "probe: %s is hidden at state %d\n", std::string(suirei::name(b)).c_str(),
                             window.story().state());
                QCoreApplication::exit(2);
                return;
            }
            window.button(b)->click();
        }
        if (!window.QWidget::isVisible()) return;
        std::printf("reached %s after %zu clicks at state %d\n", goal.c_str(), route->size(), window.story().state());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}
