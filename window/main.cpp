// 翠嶺秘抄: the game. Creates the window, runs start-up, and answers clicks
// until the player quits.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <memory>

#include "form6.hpp"
#include "stretches.hpp"
#include "x11.hpp"

int main(int argc, char** argv) {
    // Without a display the toolkit would abort with a core dump.
    auto display = std::make_unique<suirei::XDisplayCheck>(argc, argv);
    if (const auto& problem = display->problem()) {
        std::fprintf(stderr, "suirei: %s\n", problem->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    display.reset();
    QApplication::setApplicationName(QStringLiteral("suirei"));
    // Lets docks match the window to the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.suirei"));
    QApplication::setFont(suirei::gameFont());

    suirei::Form6 window(suirei::story());
    if (!window.Form_Load()) return 1;
    // The installed icon, found beside the program folder (lib/suirei/ and
    // share/icons/ under one prefix). Looking it up in the icon themes instead
    // would read every theme's folders and cost as much as the rest of
    // start-up; a build tree has no icon and the window goes without.
    const QString icon = QApplication::applicationDirPath() +
                         QStringLiteral("/../../share/icons/hicolor/128x128/apps/suirei.png");
    if (QFileInfo::exists(icon)) QApplication::setWindowIcon(QIcon(icon));
    window.show();
    return QApplication::exec();
}
