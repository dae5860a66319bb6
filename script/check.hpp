// Compile-time checks of a stretch of the script. Each stretch ends with
//
//   static_assert(check_stretch(kTable, {{1, 56}, {259, 265}}));
//
// A failed check stops the build at a call to one of the functions below,
// whose name says what is wrong; the compiler's notes point at the rule.
#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "pictures.hpp"
#include "rule.hpp"

namespace suirei {

// The eighteen scene pictures, by bare file name.
inline constexpr std::array<std::string_view, kPictures.size()> kPictureFiles = [] {
    std::array<std::string_view, kPictures.size()> files{};
    for (std::size_t i = 0; i < files.size(); ++i) files[i] = kPictures[i].file;
    return files;
}();

constexpr bool is_picture_file(std::string_view f) {
    for (std::string_view p : kPictureFiles)
        if (p == f) return true;
    return false;
}

// A choice line: "１", U+3000, option, two or three U+3000, "２", U+3000, option.
constexpr bool is_choice_line(std::string_view s) {
    constexpr std::string_view one = "１", two = "２", gap = "　";
    auto eat = [&](std::string_view what) {
        if (!s.starts_with(what)) return false;
        s.remove_prefix(what.size());
        return true;
    };
    if (!eat(one) || !eat(gap)) return false;
    const auto at_two = s.find(two);
    if (at_two == std::string_view::npos) return false;
    std::string_view first = s.substr(0, at_two);
    int gaps = 0;
    while (first.ends_with(gap)) {
        first.remove_suffix(gap.size());
        ++gaps;
    }
    if (first.empty() || first.find(gap) != std::string_view::npos || gaps < 2 || gaps > 3) return false;
    s.remove_prefix(at_two);
    if (!eat(two) || !eat(gap)) return false;
    return !s.empty() && s.find(gap) == std::string_view::npos && !s.starts_with(" ");
}

constexpr bool has_line_break(std::string_view s) {
    return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// Deliberately not constexpr: see the header comment.
void rule_state_outside_its_stretch();
void same_state_twice_for_one_button();
void slot_write_on_direct_text_button();
void direct_text_on_speaking_button();
void line_too_long();
void line_break_inside_a_line();
void empty_spoken_line();
void malformed_choice_line();
void unknown_picture_file();
void rule_on_the_quit_button();
void rule_can_never_pass_its_gate();

struct StateRange {
    StoryState first;
    StoryState last;
};

// How long a line may be, by stretch of the story: `slot` for page slots and
// the trailer, `text` for lines written straight into T1.
struct LineLimit {
    StoryState first;
    StoryState last;
    int slot;
    int text;
};

inline constexpr std::array<LineLimit, 8> kLineLimits = {{
    {1, 100, 35, 35},   {259, 265, 35, 35}, {101, 156, 31, 33}, {157, 200, 33, 33},
    {201, 242, 30, 33}, {301, 389, 33, 33}, {401, 435, 33, 33}, {501, 505, 33, 33},
}};

// The limits for the stretch a state belongs to; none outside the story.
constexpr std::optional<LineLimit> line_limit(StoryState state) {
    for (const LineLimit& l : kLineLimits)
        if (state >= l.first && state <= l.last) return l;
    return std::nullopt;
}

template <std::size_t N>
consteval bool check_stretch(const std::array<Rule, N>& table, std::initializer_list<StateRange> ranges) {
    for (std::size_t i = 0; i < N; ++i) {
        const Rule& r = table[i];
        bool inside = false;
        for (StateRange range : ranges) inside = inside || (r.state >= range.first && r.state <= range.last);
        const std::optional<LineLimit> limit = line_limit(r.state);
        if (!inside || !limit) rule_state_outside_its_stretch();
        for (std::size_t j = 0; j < i; ++j)
            if (table[j].state == r.state && table[j].button == r.button) same_state_twice_for_one_button();
        if (r.button == Button::Command12) rule_on_the_quit_button();
        if (!passes_gate(r.button, r.state)) rule_can_never_pass_its_gate();

        for (const Action& a : r) {
            switch (a.op) {
            case Op::Slot:
            case Op::Trailer:
                if (!is_speaking(r.button)) slot_write_on_direct_text_button();
                if (utf8_length(a.text) > limit->slot) line_too_long();
                break;
            case Op::Text:
                if (is_speaking(r.button)) direct_text_on_speaking_button();
                if (utf8_length(a.text) > limit->text) line_too_long();
                break;
            case Op::Picture:
            case Op::Frame:
                if (!is_picture_file(a.text)) unknown_picture_file();
                break;
            default:
                break;
            }
            if (has_line_break(a.text)) line_break_inside_a_line();
            if (a.speaker != Speaker::none && a.text.empty()) empty_spoken_line();
            if (a.speaker == Speaker::choice && !is_choice_line(a.text)) malformed_choice_line();
        }
    }
    return true;
}

}  // namespace suirei
