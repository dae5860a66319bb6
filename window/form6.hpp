// Form6: the game's one window. A scene picture (P1), the page text (T1) and
// twelve buttons at fixed places; the story engine drives them through the
// Screen interface.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "screen.hpp"
#include "story.hpp"

namespace suirei {

class Form6 : public QWidget, public Screen {
    Q_OBJECT

public:
    static constexpr QSize kClientSize{477, 284};

    explicit Form6(const Script& script, QWidget* parent = nullptr);
    ~Form6() override;

    // Start-up. Returns false when it failed (the failure has been reported).
    bool Form_Load();

    // Screen.
    void setVisible(Button b, bool visible) override;
    bool isVisible(Button b) const override;
    void setText(std::string_view text) override;
    std::string_view text() const override { return text_; }
    void loadPicture(std::string_view file) override;
    void showFrame(std::string_view file, std::chrono::milliseconds hold) override;
    void enterProgramFolder() override;
    void quit() override;
    using QWidget::isVisible;
    using QWidget::setVisible;

    Story& story() { return story_; }
    QPushButton* button(Button b) const { return buttons_[static_cast<std::size_t>(index(b))]; }
    QTextEdit* T1() const { return T1_; }
    QLabel* P1() const { return P1_; }
    // The picture P1 shows at this moment (a frame, while the strike plays).
    QString pictureFile() const { return pictureFile_; }
    // True from the first frame of the strike until what the click left is
    // on the screen: the player's input is dropped meanwhile.
    bool playingFrames() const { return playing_; }

    // How long each frame of the strike stays on screen, in place of the
    // story's own hold (tests shorten it).
    void setFrameHold(std::chrono::milliseconds hold) { frameHold_ = hold; }

    // What to do when a picture cannot be shown. By default: a message box
    // naming the file, the same text on standard error, and the program ends
    // with a non-zero status. Tests install their own.
    using FailureHandler = std::function<void(const QString& message)>;
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

    // The font the page and the buttons use, chosen so that eleven lines of
    // 35 full-width characters fit the text box.
    static QFont gameFont();

Q_SIGNALS:
    // The strike is over and the window shows what the click left.
    void framesPlayed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void onClick(Button b);
    void fail(const QString& message);

    // Puts a page, a picture and the buttons on the screen.
    void showText(const std::string& text);
    void showButtons(const std::array<bool, kButtonCount>& visible);
    void showPicture(const QString& file, const QImage& image);
    // After a click: keyboard focus on to the button that moves the story
    // on, when the focused one hid itself or no longer does.
    void focusStory(QWidget* focused);

    // The strike: the frames the click queued, each held on the screen by a
    // timer, then what the click left. No nested event loop: between frames
    // the window goes back to the event loop, and a filter on the whole
    // application drops the player's input.
    void playFrames();
    void playNextFrame();
    void stopPlaying();
    void dropInput(bool drop);

    // With SUIREI_BENCH_TRACE set, the window tells standard error when it
    // was first painted and how long each click took to reach the screen.
    // First of the members: the children created below already send events.
    bool trace_ = false;
    Story story_;
    QLabel* P1_;
    QTextEdit* T1_;
    std::array<QPushButton*, kButtonCount> buttons_{};
    // What the story has set: the page, the buttons and the picture. While
    // the strike plays the screen shows its frames instead, and catches up
    // with these when the frames are over.
    std::string text_;
    std::array<bool, kButtonCount> visible_{};
    QString picture_;
    QString pictureFile_;
    QString shownText_;
    std::optional<std::chrono::milliseconds> frameHold_;
    std::deque<HeldFrame> frames_;
    QTimer frameTimer_;
    bool playing_ = false;
    bool startedFrames_ = false;
    // Ends the game when another X client destroys the window: the toolkit
    // would go on running with nothing on the screen.
    struct WindowDestroyed : QAbstractNativeEventFilter {
        Form6* window;
        explicit WindowDestroyed(Form6* w) : window(w) {}
        bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
    } windowDestroyed_{this};
    QPointer<QWidget> strikeFocus_;
    bool dropInput_ = false;
    bool failed_ = false;
    FailureHandler onFailure_;
    bool firstPaintTraced_ = false;
    bool clickPending_ = false;
    std::chrono::steady_clock::time_point releasedAt_{};
};

// Prints the message on standard error and shows it in a modal message box
// (on a real screen).
void reportFatal(const QString& message, QWidget* parent = nullptr);

}  // namespace suirei
