// What the story engine needs from the window, and nothing more. The game's
// window implements it with Qt widgets; the play driver, the checker and the
// tests use MemoryScreen.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "button.hpp"

namespace suirei {

class Screen {
public:
    virtual ~Screen() = default;

    virtual void setVisible(Button b, bool visible) = 0;
    virtual bool isVisible(Button b) const = 0;

    // The whole text of T1, CR LF pairs included, as UTF-8.
    virtual void setText(std::string_view text) = 0;
    virtual std::string_view text() const = 0;

    // Loads a scene picture by bare file name from the current directory into
    // P1. A picture that cannot be loaded ends the program with an error
    // naming the file; implementations throw PictureError for that.
    virtual void loadPicture(std::string_view file) = 0;

    // One frame of the strike at Iruka: the picture `file`, shown with the
    // page and the buttons as they stand at this moment, held for `hold`.
    // Nothing may block here, since a browser cannot: the screen checks the
    // picture at once (throwing PictureError as loadPicture does), queues the
    // frame, and once the click has returned plays the queued frames in
    // order on its own timer before it shows what the click left. Clicks
    // made while the frames play are dropped.
    virtual void showFrame(std::string_view file, std::chrono::milliseconds hold) = 0;

    // Makes the program's own folder the current directory, so that bare
    // picture names resolve there.
    virtual void enterProgramFolder() = 0;

    // Ends the program at once.
    virtual void quit() = 0;
};

// How long each frame of the strike stays on the screen.
inline constexpr std::chrono::milliseconds kFrameHold{200};

// A frame as the player sees it: its picture with the page and the buttons
// as they stood when the engine asked for it. Front ends queue these.
struct HeldFrame {
    std::string picture;
    std::string text;
    std::array<bool, kButtonCount> visible{};
    std::chrono::milliseconds hold{};
};

inline HeldFrame snapshot(const Screen& screen, std::string_view picture, std::chrono::milliseconds hold) {
    HeldFrame f{std::string(picture), std::string(screen.text()), {}, hold};
    for (Button b : kAllButtons) f.visible[static_cast<std::size_t>(index(b))] = screen.isVisible(b);
    return f;
}

}  // namespace suirei
