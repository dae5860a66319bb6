// 翠嶺秘抄: the game. Creates the window, runs start-up, and answers clicks
// until the player quits.
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "form6.hpp"
#include "stretches.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("suirei"));
    // Lets docks match the window to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.suirei"));
    QApplication::setFont(suirei::Form6::gameFont());

    suirei::Form6 window(suirei::story());
    if (!window.Form_Load()) return 1;
    window.show();
    // Looking the icon up in the icon themes reads every theme's folders: it
    // waits until the first frame is on the screen.
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("suirei"))); });
    return QApplication::exec();
}
