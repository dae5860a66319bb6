// Form6: the game's one window. A scene picture (P1), the page text (T1) and
// twelve buttons at fixed places; the story engine drives them through the
// Screen interface.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

#include <array>
#include <chrono>
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
    QString pictureFile() const { return pictureFile_; }

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

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onClick(Button b);
    void fail(const QString& message);

    // With SUIREI_BENCH_TRACE set, the window tells standard error when it
    // was first painted and how long each click took to reach the screen.
    // First of the members: the children created below already send events.
    bool trace_ = false;
    Story story_;
    QLabel* P1_;
    QTextEdit* T1_;
    std::array<QPushButton*, kButtonCount> buttons_{};
    std::string text_;
    QString pictureFile_;
    std::optional<std::chrono::milliseconds> frameHold_;
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
