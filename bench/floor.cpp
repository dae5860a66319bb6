// The toolkit's floor: the game's window with no story, no script and no
// picture file behind it. The same controls at the same places, with the
// same font, colours and page layout (window/controls.hpp), a picture drawn
// in memory and two pages; a click on any button turns the page. bench/run
// starts it beside the game to see what Qt alone costs.
//
// With SUIREI_BENCH_TRACE set it prints the same lines as the game's window
// (window/trace.hpp). `--centres` prints where bench/run clicks each button,
// from the window's layout table, and starts nothing.
#include <QApplication>
#include <QPixmap>

#include <array>
#include <cstdio>
#include <string_view>

#include "button.hpp"
#include "controls.hpp"
#include "layout.hpp"
#include "trace.hpp"

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--centres") {
        for (const auto& c : suirei::layout::kControls)
            if (c.button) std::printf("%.*s %d %d\n", static_cast<int>(c.name.size()), c.name.data(),
                                      c.rect.x + c.rect.width / 2, c.rect.y + c.rect.height / 2);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setFont(suirei::gameFont());

    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    const suirei::Controls controls = suirei::createControls(window);
    // As the game's window is after start-up: Read on shown beside Quit, and
    // a picture of the scene's size, drawn in memory rather than read.
    controls.button(suirei::Button::Command9)->show();
    QPixmap scene(controls.P1->contentsRect().size());
    scene.fill(QColor(96, 128, 96));
    controls.P1->setPixmap(scene);

    // Two pages of the game's length, eleven lines with five written.
    const QString trailer = QStringLiteral("　　　　　　　　　　　　　　　　　　　　　　　（続く）");
    const std::array<QString, 2> pages = {
        QStringLiteral("飛鳥の都の空は今日も青く澄みわたり、甘橿の丘から宮を見下ろす。\n\n").repeated(5) + trailer,
        QStringLiteral("蘇我の館の門は固く閉ざされ、夜更けまで灯火が消えることはなかった。\n\n").repeated(5) + trailer};
    suirei::setPage(*controls.T1, pages[0]);

    suirei::traceIfAsked(&window);
    int turned = 0;
    for (QPushButton* b : controls.buttons)
        QObject::connect(b, &QPushButton::clicked, &window, [&] { suirei::setPage(*controls.T1, pages[turned ^= 1]); });
    window.show();
    return QApplication::exec();
}
