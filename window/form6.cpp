#include "form6.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>

#include <algorithm>
#include <array>
#include <cstdio>

#include "layout.hpp"
#include "picture.hpp"
#include "program_folder.hpp"
#include "trace.hpp"

namespace suirei {

namespace {

// The player's input, which the strike drops: mouse, keys, touch, wheel,
// menus, input methods, tablets and gestures.
constexpr std::array kUserInput = {
    QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
    QEvent::KeyPress,         QEvent::KeyRelease,         QEvent::ShortcutOverride,
    QEvent::Shortcut,         QEvent::TouchBegin,         QEvent::TouchUpdate,
    QEvent::TouchEnd,         QEvent::TouchCancel,        QEvent::Wheel,
    QEvent::ContextMenu,      QEvent::InputMethod,        QEvent::TabletPress,
    QEvent::TabletMove,       QEvent::TabletRelease,      QEvent::NativeGesture,
};

}  // namespace

Form6::Form6(const Script& script, QWidget* parent)
    : QWidget(parent),
      game_(script),
      controls_(createControls(*this)),
      destroyed_([this](QWidget* gone) { destroyedFromOutside(gone); }) {
    setWindowTitle(qs(layout::kTitle));
    setObjectName(QStringLiteral("Form6"));
    // Before the clicks are connected: the trace learns of a click first.
    traceIfAsked(this);
    for (Button b : kAllButtons) connect(button(b), &QPushButton::clicked, this, [this, b] { onClick(b); });
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
    connect(&frameTimer_, &QTimer::timeout, this, &Form6::playNextFrame);
}

Form6::~Form6() { setPhase(Phase::ended); }

void Form6::enterProgramFolder() { suirei::enterProgramFolder(); }

bool Form6::Form_Load() {
    try {
        enterProgramFolder();
        game_.start();
    } catch (const GameError& e) {
        fail(e.message());
        return false;
    }
    present();
    return phase_ != Phase::failed;
}

void Form6::setPhase(Phase next) {
    if (next != Phase::playing) {
        frameTimer_.stop();
        frames_.clear();
    }
    // While the strike plays, a filter on the whole application drops the
    // player's input; between frames the window goes back to the event loop.
    const bool dropping = phase_ == Phase::playing, drop = next == Phase::playing;
    if (drop && !dropping) qApp->installEventFilter(this);
    if (dropping && !drop && qApp) qApp->removeEventFilter(this);
    phase_ = next;
}

void Form6::onClick(Button b) {
    // A click that slipped past the input filter while the strike plays (a
    // program clicking, say) is dropped all the same, as is one the game
    // refuses.
    if (phase_ != Phase::ready || game_.refusal(b)) return;
    const std::optional<Button> focused = focusedButton();
    game_.click(b);
    strikeFocus_ = focused;
    present();
    if (phase_ == Phase::ready) applyFocus(focused);
}

void Form6::present() {
    MemoryScreen& screen = game_.screen();
    const std::vector<std::string> loads = screen.takeLoads();
    frames_ = screen.takeFrames();
    nextFrame_ = 0;
    std::optional<QImage> picture;
    try {
        // Every picture the click loaded, each frame's among them, is read
        // now: a missing one fails the click that needs it.
        for (const std::string& file : loads) picture = readPicture(qs(file));
    } catch (const GameError& e) {
        fail(e.message());
        return;
    }
    if (game_.ended()) {
        setPhase(Phase::ended);
        close();
        QCoreApplication::quit();
    } else if (!frames_.empty()) {
        setPhase(Phase::playing);
        playNextFrame();
    } else {
        draw(picture);
    }
}

void Form6::draw(const std::optional<QImage>& picture) {
    const MemoryScreen& screen = game_.screen();
    display(qs(screen.picture().value_or("")), picture, screen.text(), screen.visibility());
}

void Form6::playNextFrame() {
    if (phase_ != Phase::playing) return;
    try {
        if (nextFrame_ == frames_.size()) {
            // What the click left: Iruka, the empty page, Talk. The picture
            // is read again, as each frame was.
            frames_.clear();
            const std::optional<std::string>& scene = game_.screen().picture();
            draw(scene ? std::optional<QImage>(readPicture(qs(*scene))) : std::nullopt);
            applyFocus(strikeFocus_);
            repaint();
            // Input that came while the frames were held and is still queued
            // is dropped before the filter goes.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (phase_ != Phase::playing) return;
                    setPhase(Phase::ready);
                    Q_EMIT framesPlayed();
                },
                Qt::QueuedConnection);
            return;
        }
        const HeldFrame& frame = frames_[nextFrame_++];
        const QString file = qs(frame.picture);
        display(file, readPicture(file), frame.text, frame.visible);
        // The frame and the battle cry reach the screen now, not whenever
        // the event loop would have painted them.
        repaint();
        frameTimer_.start(frameHold_.value_or(frame.hold));
    } catch (const GameError& e) {
        fail(e.message());
    }
}

std::optional<Button> Form6::focusedButton() const {
    for (Button b : kAllButtons)
        if (button(b) == focusWidget()) return b;
    return std::nullopt;
}

void Form6::applyFocus(std::optional<Button> focused) {
    const FocusDecision d = game_.focus(focused);
    if (d.kind != FocusDecision::Kind::move) return;
    setAttribute(Qt::WA_KeyboardFocusChange);  // the focus ring is drawn
    button(d.to)->setFocus(Qt::TabFocusReason);
}

void Form6::fail(const QString& message) {
    // The error dialog must take the player's OK and Return: nothing of the
    // strike may go on dropping input under it.
    setPhase(Phase::failed);
    if (onFailure_) {
        onFailure_(message);
        return;
    }
    std::fprintf(stderr, "suirei: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    // Without a screen (the offscreen platform of tests and servers) nobody
    // could close a message box, so the message goes to standard error alone.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(isVisible() ? this : nullptr, qs(layout::kShortTitle), message);
    hide();
    QCoreApplication::exit(1);
}

void Form6::destroyedFromOutside(QWidget* gone) {
    // The game's window ends the game as closing it would; the error message
    // ends it as the error does.
    const bool error = gone != this || phase_ == Phase::failed;
    std::fprintf(stderr, "suirei: %s was destroyed by another program; the game ends\n",
                 gone == this ? "the window" : "the error message");
    setPhase(error ? Phase::failed : Phase::ended);
    QCoreApplication::exit(error ? 1 : 0);
}

void Form6::display(const QString& file, const std::optional<QImage>& picture, std::string_view text,
                    const std::array<bool, kButtonCount>& visible) {
    if (picture) {
        P1()->setPixmap(QPixmap::fromImage(*picture));
        pictureFile_ = file;
    }
    // The story's line breaks are CR LF pairs; the text box wants paragraphs.
    QString page = qs(text);
    page.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (page != T1()->toPlainText()) setPage(*T1(), page);
    for (Button b : kAllButtons) button(b)->setVisible(visible[static_cast<std::size_t>(index(b))]);
}

void Form6::closeEvent(QCloseEvent* event) {
    // Closing the window during the strike ends the game; the frames left
    // are not played.
    if (phase_ != Phase::failed) setPhase(Phase::ended);
    QWidget::closeEvent(event);
}

bool Form6::eventFilter(QObject* watched, QEvent* event) {
    if (phase_ == Phase::playing && std::ranges::find(kUserInput, event->type()) != kUserInput.end()) return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace suirei
