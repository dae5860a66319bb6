// Scene pictures for P1: Windows bitmaps read by bare name from the current
// directory, afresh on every load, judged by picture/bitmap.hpp as the Qt
// window judges them, and decoded by GDI into a bitmap of their own size.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace suirei::win32 {

// Anything that ends the game with a message for the player: the message
// says what went wrong, in Japanese, with the technical detail after it.
class GameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Picture {
public:
    Picture() = default;
    Picture(HBITMAP bitmap, int width, int height) : bitmap_(bitmap), width_(width), height_(height) {}

    explicit operator bool() const { return bitmap_ != nullptr; }

    // Draws the picture at its own size, times dpi / 96, from the top-left
    // corner of `box`, cut off at the box's edges.
    void draw(HDC dc, const RECT& box, UINT dpi) const;

private:
    struct Delete {
        void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
    };
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, Delete> bitmap_;
    int width_ = 0, height_ = 0;
};

// The folder pictures are read from, as messages name it: start-up sets it
// once it has entered the program folder.
void setPictureFolder(std::wstring folder);

// Reads and decodes one bitmap by bare name. Throws GameError, naming the
// file, when it is missing, is a folder, is far too large, cannot be read, is
// cut short, or is not a bitmap GDI can draw.
Picture readPicture(std::string_view file);

}  // namespace suirei::win32
