// The story engine: the story state, the four page buffers and the click
// routines of the window's buttons.
//
// A click carries out the button's fixed pre-actions, stops at its parity
// gate (Talk and Other speaks only), walks the button's whole rule list from
// the highest tested state down, and, for the speaking buttons, composes the
// button's page into T1. The walk compares every rule with the state as it is
// at that moment and never stops at a match: a rule that lowers the state to
// one tested further down makes that rule fire in the same click. The script
// relies on this twice (Talk at 265 rejoins the main line at 15, Talk at 505
// falls into the failed-coup ending at 429).
#pragma once

#include <array>
#include <vector>

#include "page.hpp"
#include "script.hpp"
#include "screen.hpp"

namespace suirei {

// Everything of the story that changes between clicks, besides what the
// screen shows: the state and the page buffers.
struct StoryMemory {
    StoryState state = 0;
    std::array<Page, 3> pages{};  // Talk, Other speaks, Read on
    Page opening{};               // start-up's own buffer, used once

    friend bool operator==(const StoryMemory&, const StoryMemory&) = default;
};

class Story {
public:
    Story(Screen& screen, const Script& script);

    // Start-up: enter the program folder, show Read on, load the opening
    // picture, compose the opening page, state 1.
    void Form_Load();

    // One click of any button, whether or not it is visible; the window only
    // delivers clicks of visible buttons. `fired`, when given, is told each
    // rule the click runs, in the order it runs them (the story checker
    // learns the story's moves this way).
    using Fired = std::vector<const Rule*>;
    void click(Button b, Fired* fired = nullptr);

    StoryState state() const { return memory_.state; }
    const Page& page(Button speaking) const;
    const StoryMemory& memory() const { return memory_; }
    void restore(const StoryMemory& m) { memory_ = m; }
    void rebind(Screen& screen) { screen_ = &screen; }
    const Script& script() const { return *script_; }

private:
    // The click routines of the window's buttons, one each, which click()
    // dispatches to: each does its button's own pre-actions, then (all but
    // Quit) walks the button's rules.
    void Command1_Click(Fired* fired);
    void Command2_Click(Fired* fired);
    void Command3_Click(Fired* fired);
    void Command4_Click(Fired* fired);
    void Command5_Click(Fired* fired);
    void Command6_Click(Fired* fired);
    void Command7_Click(Fired* fired);
    void Command8_Click(Fired* fired);
    void Command9_Click(Fired* fired);
    void Command10_Click(Fired* fired);
    void Command11_Click(Fired* fired);
    void Command12_Click(Fired* fired);

    // What the place buttons share, and what the two answers share.
    void arrive(Button place, Fired* fired);
    void answer(Button choice, Fired* fired);
    // Past the button's turn gate, its whole rule list, then its page.
    void walk(Button b, Fired* fired);

    Page& page_of(Button speaking);
    void run(const Rule& rule);
    void render(const Page& page);

    Screen* screen_;
    const Script* script_;
    StoryMemory memory_;
};

}  // namespace suirei
