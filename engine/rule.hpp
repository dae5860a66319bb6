// A story rule: the state it tests and the actions it carries out, in the
// order the script writes them. Rules are built at compile time with a small
// fluent vocabulary, so a stretch of the script reads one row per rule:
//
//   on(13, Command1).to(14).say(prince, L0, "かたじけない。そなたは？").clear(L1),
//
// The script's own checks (script/check.hpp) run over these tables in
// static_asserts, so a malformed row is a build error, not a player's surprise.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "button.hpp"

namespace suirei {

using StoryState = std::int16_t;

// Talk and Other speaks take turns: a click of Talk goes on to its rules only
// at an odd story state, one of Other speaks only at an even one. Every other
// button always does.
constexpr bool passes_gate(Button b, StoryState state) {
    if (b == Button::Command1) return state % 2 != 0;
    if (b == Button::Command2) return state % 2 == 0;
    return true;
}

// The five line slots of a page buffer.
enum Slot : std::uint8_t { L0, L1, L2, L3, L4 };
inline constexpr int kSlotCount = 5;

// Who speaks a line. The game never shows it; the screenplay and the route
// map use it, and it keeps the script readable.
enum class Speaker : std::uint8_t {
    none,
    narration,     // the prince, telling his story
    prince,        // 中大兄皇子
    mother,        // the empress, 皇極天皇
    ball_player,   // a voice at the kemari game
    kamatari,      // 中臣鎌足
    shoan,         // 南淵請安
    karu,          // 軽皇子, the prince's uncle
    iruka,         // 蘇我入鹿
    ishikawamaro,  // 蘇我倉山田石川麻呂
    komaro,        // 佐伯子麻呂
    choice,        // the options line of a choice page
};

std::string_view speaker_name(Speaker s);

enum class Op : std::uint8_t {
    SetState,   // value: the new story state
    Show,       // target: button index
    Hide,       // target: button index
    Slot,       // target: slot index; text: the line (may be empty)
    Trailer,    // text: the trailer line (may be empty)
    Text,       // text: the whole of T1 (may be empty)
    Picture,    // text: bare file name
    Frame,      // text: bare file name of one frame of the strike, held on screen
};

struct Action {
    Op op{};
    std::uint8_t target = 0;
    Speaker speaker = Speaker::none;
    StoryState value = 0;
    std::string_view text{};
};

struct Rule {
    static constexpr int kCapacity = 16;

    StoryState state = 0;
    Button button{};
    std::array<Action, kCapacity> actions{};
    std::uint8_t count = 0;

    constexpr const Action* begin() const { return actions.data(); }
    constexpr const Action* end() const { return actions.data() + count; }

    // --- the vocabulary of the script -------------------------------------
    constexpr Rule to(StoryState next) const { return with(Action{.op = Op::SetState, .value = next}); }

    template <class... Bs>
    constexpr Rule show(Bs... bs) const {
        return with(Action{Op::Show, static_cast<std::uint8_t>(index(bs))}...);
    }
    template <class... Bs>
    constexpr Rule hide(Bs... bs) const {
        return with(Action{Op::Hide, static_cast<std::uint8_t>(index(bs))}...);
    }
    constexpr Rule picture(std::string_view file) const { return with(Action{.op = Op::Picture, .text = file}); }
    template <class... Fs>
    constexpr Rule frames(Fs... files) const {
        return with(Action{.op = Op::Frame, .text = std::string_view(files)}...);
    }

    // One utterance over consecutive slots, starting at `first`.
    template <class... Ls>
    constexpr Rule say(Speaker who, Slot first, Ls... lines) const {
        return say(who, first, std::array<std::string_view, sizeof...(Ls)>{lines...});
    }
    // A speech that is the same wherever it is spoken: an array of lines.
    template <std::size_t N>
    constexpr Rule say(Speaker who, Slot first, const std::array<std::string_view, N>& lines) const {
        Rule r = *this;
        std::uint8_t slot = first;
        for (std::string_view line : lines) r = r.with(Action{Op::Slot, slot++, who, 0, line});
        return r;
    }
    // Empties the named slots.
    template <class... Ss>
    constexpr Rule clear(Ss... emptied) const {
        return with(Action{Op::Slot, static_cast<std::uint8_t>(emptied)}...);
    }
    // The options line of a choice page, always slot L2.
    constexpr Rule choice(std::string_view line) const { return with(Action{Op::Slot, L2, Speaker::choice, 0, line}); }
    constexpr Rule trailer(Speaker who, std::string_view line) const {
        return with(Action{Op::Trailer, 0, who, 0, line});
    }
    constexpr Rule clear_trailer() const { return with(Action{.op = Op::Trailer}); }
    // Replaces the whole of T1 (direct-text buttons).
    constexpr Rule text(Speaker who, std::string_view line) const { return with(Action{Op::Text, 0, who, 0, line}); }
    constexpr Rule clear_text() const { return with(Action{.op = Op::Text}); }

    // The same rule, tested and moving on `by` states later: how a scene
    // shared by two routes is written once and played at both places.
    constexpr Rule shifted(int by) const {
        Rule r = *this;
        r.state = static_cast<StoryState>(r.state + by);
        for (std::uint8_t i = 0; i < r.count; ++i)
            if (r.actions[i].op == Op::SetState) r.actions[i].value = static_cast<StoryState>(r.actions[i].value + by);
        return r;
    }

    // The state this rule sets, or -1 if it leaves the state alone.
    constexpr StoryState next() const {
        StoryState n = -1;
        for (const Action& a : *this)
            if (a.op == Op::SetState) n = a.value;
        return n;
    }

private:
    // The same rule with `added` after its actions, in order.
    template <class... As>
    constexpr Rule with(As... added) const {
        Rule r = *this;
        for (const Action& a : {Action(added)...}) {
            if (r.count >= kCapacity) rule_has_too_many_actions();
            r.actions[r.count++] = a;
        }
        return r;
    }
    // Not constexpr on purpose: reaching it during constant evaluation turns
    // an overfull rule into a compile error that names the problem.
    static void rule_has_too_many_actions();
};

constexpr Rule on(StoryState state, Button button) { return Rule{.state = state, .button = button}; }

// A scene written once and played at another place of the story.
template <std::size_t N>
constexpr std::array<Rule, N> shifted(const std::array<Rule, N>& scene, int by) {
    std::array<Rule, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = scene[i].shifted(by);
    return out;
}

// Number of characters (code points) in a UTF-8 line.
constexpr int utf8_length(std::string_view s) {
    return static_cast<int>(std::count_if(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
    }));
}

}  // namespace suirei
