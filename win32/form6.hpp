// Form6 on Windows: the game's one window built from the system's own
// controls (a picture box, a read-only multi-line text box, twelve push
// buttons), placed by the layout table and scaled to the monitor's DPI. It
// holds the Game, draws the screen state after each click, plays the strike's
// frames on a timer and puts the keyboard focus where the engine says.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <optional>
#include <string>

#include "game.hpp"
#include "picture.hpp"

namespace suirei::win32 {

class Form6 {
public:
    explicit Form6(const Script& script);
    ~Form6();
    Form6(const Form6&) = delete;
    Form6& operator=(const Form6&) = delete;

    // Creates the window and its controls, runs start-up and shows the
    // window. False when start-up failed; the player has been told why.
    bool open(HINSTANCE instance, int show);

    // Runs the window until the game ends; returns the exit status.
    int run();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT CALLBACK pageProc(HWND page, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    // The keys and clicks the window takes before the dialog manager: input
    // dropped while the strike plays, Enter on a button. True when taken.
    bool takeInput(const MSG& message);

    void createControls(HINSTANCE instance);
    // Sizes and places the window, every control and the font for `dpi`.
    void place(UINT dpi);
    void enterProgramFolder();

    void click(Button b);
    // The screen state, or one frame of the strike, put on the screen.
    void show(const std::array<bool, kButtonCount>& visible, std::string_view text);
    void showScreen();
    void playNextFrame();
    void applyFocus(std::optional<Button> focused);
    std::optional<Button> buttonOf(HWND control) const;
    HWND& button(Button b) { return buttons_[static_cast<std::size_t>(index(b))]; }
    HWND button(Button b) const { return buttons_[static_cast<std::size_t>(index(b))]; }
    void fail(const std::string& message);

    Game game_;
    HWND window_ = nullptr;
    HWND P1_ = nullptr, T1_ = nullptr, T1label_ = nullptr;
    std::array<HWND, kButtonCount> buttons_{};
    std::wstring family_;  // the page's font, chosen once
    HFONT font_ = nullptr;
    HBRUSH background_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    WNDPROC editProc_ = nullptr;

    // What P1 draws: the picture the last click left, or a frame.
    Picture picture_;
    Picture after_;  // the picture the click left, until its frames have played
    struct Frame {
        HeldFrame held;
        Picture picture;
    };
    std::deque<Frame> frames_;
    bool playing_ = false;
    std::optional<Button> strikeFocus_;
    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window lost it

    bool failed_ = false;
};

}  // namespace suirei::win32
