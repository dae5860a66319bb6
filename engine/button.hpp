// The twelve push buttons of the window, named by their control identities.
// Rules and the engine refer to buttons only through these identities; the
// captions exist for the window and for tools that print what a player sees.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace suirei {

enum class Button : std::uint8_t {
    Command1,   // 話す         Talk: the prince speaks
    Command2,   // 相手が話す   Other speaks: whoever he is with answers
    Command3,   // 移動         Move
    Command4,   // 板葺宮       place
    Command5,   // 法興寺       place
    Command6,   // 南淵請安宅   place
    Command7,   // 甘橿の丘     place
    Command8,   // 軽皇子宅     place
    Command9,   // 続きを読む   Read on: narration
    Command10,  // 1            choice
    Command11,  // 2            choice
    Command12,  // 終了         Quit
};

inline constexpr int kButtonCount = 12;

constexpr int index(Button b) { return static_cast<int>(b); }
constexpr Button button_at(int i) { return static_cast<Button>(i); }

inline constexpr std::array<Button, kButtonCount> kAllButtons = {
    Button::Command1, Button::Command2, Button::Command3,  Button::Command4,
    Button::Command5, Button::Command6, Button::Command7,  Button::Command8,
    Button::Command9, Button::Command10, Button::Command11, Button::Command12,
};

inline constexpr std::array<std::string_view, kButtonCount> kButtonNames = {
    "Command1", "Command2", "Command3",  "Command4",  "Command5",  "Command6",
    "Command7", "Command8", "Command9",   "Command10", "Command11", "Command12",
};

// Captions as the window shows them. "1" and "2" are half-width digits.
inline constexpr std::array<std::string_view, kButtonCount> kCaptions = {
    "話す",     "相手が話す", "移動",       "板葺宮", "法興寺", "南淵請安宅",
    "甘橿の丘", "軽皇子宅",   "続きを読む", "1",      "2",      "終了",
};

constexpr std::string_view name(Button b) { return kButtonNames[static_cast<std::size_t>(index(b))]; }
constexpr std::string_view caption(Button b) { return kCaptions[static_cast<std::size_t>(index(b))]; }

// Talk, Other speaks and Read on own a page buffer and compose it into T1.
constexpr bool is_speaking(Button b) {
    return b == Button::Command1 || b == Button::Command2 || b == Button::Command9;
}
constexpr bool is_place(Button b) { return index(b) >= index(Button::Command4) && index(b) <= index(Button::Command8); }
constexpr bool is_choice(Button b) { return b == Button::Command10 || b == Button::Command11; }

// Looks a button up by identity ("Command3") or by caption ("移動").
constexpr std::optional<Button> find_button(std::string_view word) {
    for (Button b : kAllButtons)
        if (word == name(b) || word == caption(b)) return b;
    return std::nullopt;
}

}  // namespace suirei
