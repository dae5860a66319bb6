// Form6: the game's one window. A scene picture (P1), the page text (T1) and
// twelve buttons; it holds the game, and after start-up and every click it
// draws what the game's screen holds, plays the frames of the strike on its
// own timer and puts the keyboard focus where the game says.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "controls.hpp"
#include "game.hpp"
#include "x11.hpp"

namespace suirei {

class Form6 : public QWidget {
    Q_OBJECT

public:
    explicit Form6(const Script& script, QWidget* parent = nullptr);
    ~Form6() override;

    // Start-up: the program folder, then the opening page. Returns false when
    // it failed (the failure has been reported).
    bool Form_Load();

    const Game& game() const { return game_; }
    const Story& story() const { return game_.story(); }
    QPushButton* button(Button b) const { return controls_.button(b); }
    QTextEdit* T1() const { return controls_.T1; }
    QLabel* P1() const { return controls_.P1; }
    // The picture P1 shows at this moment (a frame, while the strike plays).
    QString pictureFile() const { return pictureFile_; }
    // True from the first frame of the strike until what the click left is
    // on the screen. The player's input is dropped meanwhile, and until what
    // came meanwhile has gone from the queue (framesPlayed).
    bool playingFrames() const { return phase_ == Phase::playing && !frames_.empty(); }

    // How long each frame of the strike stays on screen, in place of the
    // story's own hold (tests shorten it).
    void setFrameHold(std::chrono::milliseconds hold) { frameHold_ = hold; }

    // What to do when a picture cannot be shown. By default: a message box
    // naming the file, the same text on standard error, and the program ends
    // with a non-zero status. Tests install their own.
    using FailureHandler = std::function<void(const QString& message)>;
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

Q_SIGNALS:
    // The strike is over and the window shows what the click left.
    void framesPlayed();

protected:
    // Makes the program's own folder the current directory (tests keep to a
    // scratch folder of their own instead).
    virtual void enterProgramFolder();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Phase {
        ready,    // waiting for the player
        playing,  // the strike's frames, then the input queued meanwhile, are
                  // played out; input is dropped
        failed,   // a picture could not be shown; the game is ending
        ended,    // Quit, or the window closed or destroyed
    };
    void setPhase(Phase next);

    void onClick(Button b);
    // After start-up or a click: checks every picture it loaded, then plays
    // the frames it queued, if any, and draws what the game's screen holds.
    void present();
    void draw(const std::optional<QImage>& picture);
    void playNextFrame();
    void applyFocus(std::optional<Button> focused);
    std::optional<Button> focusedButton() const;
    void fail(const QString& message);
    void destroyedFromOutside(QWidget* gone);

    // Puts the picture `file` (when one was read), the page and the buttons
    // on the screen: what the game's screen holds, or a frame of the strike.
    void display(const QString& file, const std::optional<QImage>& picture, std::string_view text,
                 const std::array<bool, kButtonCount>& visible);

    Game game_;
    Controls controls_;
    Phase phase_ = Phase::ready;
    QString pictureFile_;
    // The strike: the frames the click queued, the next one to show, how
    // long each stays, and the button that had the focus at the click.
    std::vector<HeldFrame> frames_;
    std::size_t nextFrame_ = 0;
    std::optional<std::chrono::milliseconds> frameHold_;
    QTimer frameTimer_;
    std::optional<Button> strikeFocus_;
    FailureHandler onFailure_;
    DestroyedWindowWatch destroyed_;
};

}  // namespace suirei
