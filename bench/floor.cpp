// The toolkit's floor: a bare Qt window of the game's shape (477×284, a
// framed picture box, a text box and twelve push buttons at the game's places,
// the game's font and colours), with no story, no script and no picture file
// behind it; a click on any button turns its page. bench/run starts it beside
// the game to see what Qt alone costs.
//
// With SUIREI_BENCH_TRACE set it prints the same lines as the game's window:
// "first-paint <realtime ns>" once the first frame is painted, and
// "click-paint <ns>" from a button's mouse release to the end of the first
// repaint after the click was reported (a button repaints itself on release,
// before it reports the click).
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdio>

namespace {

struct Place {
    const char* caption;
    QRect rect;
    bool shown;  // as the game's window is at start-up
};

const std::array<Place, 12> kPlaces = {{
    {"話す", {160, 8, 81, 25}, false},
    {"相手が話す", {160, 40, 81, 25}, false},
    {"移動", {160, 72, 81, 25}, false},
    {"板葺宮", {248, 8, 105, 25}, false},
    {"法興寺", {248, 48, 105, 25}, false},
    {"南淵請安宅", {248, 88, 105, 25}, false},
    {"甘橿の丘", {360, 8, 105, 25}, false},
    {"軽皇子宅", {360, 48, 105, 25}, false},
    {"続きを読む", {160, 96, 81, 25}, true},
    {"1", {360, 88, 33, 25}, false},
    {"2", {400, 88, 33, 25}, false},
    {"終了", {440, 88, 33, 25}, true},
}};

long long nanoseconds(std::chrono::nanoseconds d) { return static_cast<long long>(d.count()); }

class Floor : public QWidget {
public:
    Floor() : trace_(qEnvironmentVariableIsSet("SUIREI_BENCH_TRACE")) {
        setWindowTitle(QStringLiteral("floor"));
        setFixedSize(477, 284);
        QPalette salmon = palette();
        salmon.setColor(QPalette::Window, QColor(255, 128, 128));
        setPalette(salmon);
        setAutoFillBackground(true);

        auto* picture = new QLabel(this);
        picture->setGeometry(8, 0, 145, 121);
        picture->setFrameStyle(QFrame::Box | QFrame::Plain);
        picture->setBackgroundRole(QPalette::Base);
        picture->setAutoFillBackground(true);
        // A picture of the scene's size, drawn in memory rather than read.
        QPixmap scene(143, 119);
        scene.fill(QColor(96, 128, 96));
        picture->setPixmap(scene);

        auto* text = new QTextEdit(this);
        text->setGeometry(8, 128, 449, 153);
        text->setReadOnly(true);
        text->setLineWrapMode(QTextEdit::NoWrap);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Two pages of the game's length, eleven lines with five written;
        // a click on any button turns from one to the other.
        for (int p = 0; p < 2; ++p) {
            for (int i = 0; i < 5; ++i)
                pages_[p] += p ? QStringLiteral("蘇我の館の門は固く閉ざされ、夜更けまで灯火が消えることはなかった。\n\n")
                               : QStringLiteral("飛鳥の都の空は今日も青く澄みわたり、甘橿の丘から宮を見下ろす。\n\n");
            pages_[p] += QStringLiteral("　　　　　　　　　　　　　　　　　　　　　　　（続く）");
        }
        text->setPlainText(pages_[0]);

        for (const Place& place : kPlaces) {
            auto* b = new QPushButton(QString::fromUtf8(place.caption), this);
            b->setGeometry(place.rect);
            b->setAutoDefault(false);
            b->setVisible(place.shown);
            if (trace_) {
                b->installEventFilter(this);
                connect(b, &QPushButton::clicked, this, [this] { clickPending_ = true; });
            }
            connect(b, &QPushButton::clicked, this, [this, text] { text->setPlainText(pages_[turned_ ^= 1]); });
        }
    }

protected:
    bool event(QEvent* event) override {
        if (!trace_) return QWidget::event(event);
        const QEvent::Type type = event->type();
        const bool handled = QWidget::event(event);
        if (type == QEvent::Paint && !firstPaintTraced_) {
            firstPaintTraced_ = true;
            QMetaObject::invokeMethod(this, [] {
                std::fprintf(stderr, "first-paint %lld\n",
                             nanoseconds(std::chrono::system_clock::now().time_since_epoch()));
            }, Qt::QueuedConnection);
        } else if (type == QEvent::UpdateRequest && clickPending_) {
            const auto took = std::chrono::steady_clock::now() - releasedAt_;
            clickPending_ = false;
            std::fprintf(stderr, "click-paint %lld\n", nanoseconds(took));
        }
        return handled;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) releasedAt_ = std::chrono::steady_clock::now();
        return QWidget::eventFilter(watched, event);
    }

private:
    bool trace_;
    bool firstPaintTraced_ = false;
    bool clickPending_ = false;
    std::array<QString, 2> pages_;
    int turned_ = 0;
    std::chrono::steady_clock::time_point releasedAt_{};
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    Floor window;
    window.setFont(font);
    window.show();
    return QApplication::exec();
}
