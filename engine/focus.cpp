#include "focus.hpp"

#include <algorithm>

#include "memory_screen.hpp"

namespace suirei {

namespace {

// A click tried on a copy of the story and of what the screen shows.
struct Trial {
    MemoryScreen screen;
    StoryMemory memory;
};

Trial try_click(const Story& story, const Screen& screen, Button b) {
    Trial t;
    for (Button other : kAllButtons) t.screen.setVisible(other, screen.isVisible(other));
    t.screen.setText(screen.text());
    Story copy(t.screen, story.script());
    copy.restore(story.memory());
    copy.click(b);
    t.memory = copy.memory();
    return t;
}

bool shown_story_button(const Screen& screen, Button b) { return b != Button::Command12 && screen.isVisible(b); }

}  // namespace

std::vector<Button> moving_buttons(const Story& story, const Screen& screen) {
    std::vector<Button> forward, back;
    for (Button b : kAllButtons) {
        if (!shown_story_button(screen, b)) continue;
        Trial after = try_click(story, screen, b);
        if (after.memory.state == story.state()) continue;
        // A wrong place only goes back to the Move state, from which one click
        // leads here again: a player reading on with Space must not go round
        // between the two for ever.
        Story there(after.screen, story.script());
        there.restore(after.memory);
        const bool returns = std::any_of(kAllButtons.begin(), kAllButtons.end(), [&](Button c) {
            return shown_story_button(after.screen, c) && try_click(there, after.screen, c).memory.state == story.state();
        });
        (returns ? back : forward).push_back(b);
    }
    forward.insert(forward.end(), back.begin(), back.end());
    return forward;
}

FocusDecision decide_focus(const Story& story, const Screen& screen, std::optional<Button> focused) {
    using Kind = FocusDecision::Kind;
    const std::vector<Button> moving = moving_buttons(story, screen);
    const auto go = [&](Button b) -> FocusDecision {
        return focused == b ? FocusDecision{Kind::stay, {}} : FocusDecision{Kind::move, b};
    };
    if (focused && screen.isVisible(*focused) && std::find(moving.begin(), moving.end(), *focused) != moving.end())
        return {Kind::stay, {}};
    if (!moving.empty()) return go(moving.front());
    // The first shown button; Quit, the last of all, only when it is alone.
    for (Button b : kAllButtons)
        if (screen.isVisible(b)) return go(b);
    return {Kind::none, {}};
}

}  // namespace suirei
