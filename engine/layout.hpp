// The window Form6 as every front end builds it: its title, size and colour,
// where each control stands, its caption, its accessible name and its place in
// the tab order, and the font of the page. The Qt window, the page in the
// browser, the Windows window and the benchmarks' floor window all take their
// geometry from here; none of them holds a number of its own.
//
// Lengths are pixels of the design grid, 15 twips to the pixel (96 DPI). A
// front end on a denser screen scales all of them by the same factor.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "button.hpp"

namespace suirei::layout {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    constexpr int right() const { return x + width; }
    constexpr int bottom() const { return y + height; }
};

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

enum class Kind : std::uint8_t { picture, text, button };

// One control of the window, in tab order.
struct Control {
    std::string_view name;  // "P1", "T1", "Command1" … "Command12"
    Kind kind{};
    Rect rect;
    std::string_view caption;         // empty for P1 and T1
    std::string_view accessibleName;  // what a screen reader says for it
    std::optional<Button> button;     // the button, for the twelve buttons
    bool visibleAtCreation = false;
};

// "翠嶺秘抄": the ideographic spaces and the full-width tildes are part of it.
inline constexpr std::string_view kTitle = "翠　嶺　秘　抄　～古代歴史ロマン～";
// The name the game goes by where a title has no room (message boxes, icons).
inline constexpr std::string_view kShortTitle = "翠嶺秘抄";

inline constexpr int kClientWidth = 477;
inline constexpr int kClientHeight = 284;
inline constexpr Colour kBackground{255, 128, 128};  // a light salmon pink

// Each button's rectangle, by button. Move's lower edge lies one pixel below
// Read on's top edge: the two overlap by a pixel row, as they always have.
inline constexpr std::array<Rect, kButtonCount> kButtonRects = {{
    {160, 8, 81, 25},    // Command1  話す
    {160, 40, 81, 25},   // Command2  相手が話す
    {160, 72, 81, 25},   // Command3  移動
    {248, 8, 105, 25},   // Command4  板葺宮
    {248, 48, 105, 25},  // Command5  法興寺
    {248, 88, 105, 25},  // Command6  南淵請安宅
    {360, 8, 105, 25},   // Command7  甘橿の丘
    {360, 48, 105, 25},  // Command8  軽皇子宅
    {160, 96, 81, 25},   // Command9  続きを読む
    {360, 88, 33, 25},   // Command10 1
    {400, 88, 33, 25},   // Command11 2
    {440, 88, 33, 25},   // Command12 終了
}};

constexpr Control button_control(Button b) {
    const Rect rect = kButtonRects[static_cast<std::size_t>(index(b))];
    return {name(b), Kind::button, rect, caption(b), caption(b), b, b == Button::Command12};
}

// Every control in tab order: the picture, the page, then the buttons.
inline constexpr std::array<Control, 2 + kButtonCount> kControls = {{
    {"P1", Kind::picture, {8, 0, 145, 121}, "", "場面", std::nullopt, true},
    {"T1", Kind::text, {8, 128, 449, 153}, "", "本文", std::nullopt, true},
    button_control(Button::Command1),  button_control(Button::Command2),  button_control(Button::Command3),
    button_control(Button::Command4),  button_control(Button::Command5),  button_control(Button::Command6),
    button_control(Button::Command7),  button_control(Button::Command8),  button_control(Button::Command9),
    button_control(Button::Command10), button_control(Button::Command11), button_control(Button::Command12),
}};

// The page: eleven lines of up to 35 full-width characters in a box 153
// pixels high. A 12-pixel Gothic face fits it; whatever the face's own
// spacing, a line takes exactly kLineHeight, inside a margin of kPageMargin.
inline constexpr int kFontPixels = 12;
inline constexpr int kLineHeight = 13;
inline constexpr int kPageMargin = 2;

// Gothic faces whose metrics fit eleven lines at 12 pixels, most wanted
// first: the first one installed wins. The last three ship with Windows 10
// and 11.
inline constexpr std::array<std::string_view, 6> kFontFamilies = {
    "IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "Yu Gothic UI", "Meiryo UI", "MS UI Gothic",
};

}  // namespace suirei::layout
