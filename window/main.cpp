// 翠嶺秘抄: the game. Creates the window, runs start-up, and answers clicks
// until the player quits.
#include <QApplication>
#include <QIcon>

#include "form6.hpp"
#include "stretches.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("suirei"));
    // Lets docks match the window to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.suirei"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("suirei")));
    QApplication::setFont(suirei::Form6::gameFont());

    suirei::Form6 window(suirei::story());
    if (!window.Form_Load()) return 1;
    window.show();
    return QApplication::exec();
}
