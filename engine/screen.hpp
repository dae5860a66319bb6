// What the story engine needs from the window, and nothing more. The game's
// window implements it with Qt widgets; the play driver, the checker and the
// tests use MemoryScreen.
#pragma once

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

    // One frame of the strike at Iruka: loaded like a picture, then brought
    // to the screen and held there for a moment before the click goes on.
    virtual void showFrame(std::string_view file) = 0;

    // Makes the program's own folder the current directory, so that bare
    // picture names resolve there.
    virtual void enterProgramFolder() = 0;

    // Ends the program at once.
    virtual void quit() = 0;
};

}  // namespace suirei
