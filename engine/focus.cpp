#include "focus.hpp"

#include "memory_screen.hpp"

namespace suirei {

std::vector<Button> moving_buttons(const Story& story, const Screen& screen) {
    std::vector<Button> moving;
    for (Button b : kAllButtons) {
        if (b == Button::Command12 || !screen.isVisible(b)) continue;
        MemoryScreen scratch;
        for (Button other : kAllButtons) scratch.setVisible(other, screen.isVisible(other));
        scratch.setText(screen.text());
        Story copy(scratch, story.script());
        copy.restore(story.memory());
        copy.click(b);
        if (copy.state() != story.state()) moving.push_back(b);
    }
    return moving;
}

std::optional<Button> story_focus(const Story& story, const Screen& screen) {
    if (const auto moving = moving_buttons(story, screen); !moving.empty()) return moving.front();
    for (Button b : kAllButtons)
        if (b != Button::Command12 && screen.isVisible(b)) return b;
    return std::nullopt;
}

}  // namespace suirei
