// One game as a front end runs it: the story and the one screen state it
// draws from. The Qt window, the page, the Windows window and the play driver
// each hold one of these; after every click they draw what screen() holds,
// check and play the frames it queued on their own timer, and put the
// keyboard focus where focus() says. None of them keeps a second copy of what
// the screen shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "focus.hpp"
#include "memory_screen.hpp"
#include "story.hpp"

namespace suirei {

class Game {
public:
    explicit Game(const Script& script) : story_(screen_, script) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up: the opening page. The front end has made the program's own
    // folder the current directory before.
    void start() { story_.Form_Load(); }

    // Why a click of `b` is not carried out, or nothing when it is: a hidden
    // button cannot be clicked, and nothing can once the game has ended.
    std::optional<std::string> refusal(Button b) const {
        if (screen_.ended()) return std::string("the game has ended");
        if (!screen_.isVisible(b))
            return std::string(name(b)) + " (" + std::string(caption(b)) + ") is not visible at state " +
                   std::to_string(story_.state());
        return std::nullopt;
    }

    // A click of a shown button; one that refusal() names is dropped.
    void click(Button b) {
        if (!refusal(b)) story_.click(b);
    }

    const Story& story() const { return story_; }
    StoryState state() const { return story_.state(); }
    const MemoryScreen& screen() const { return screen_; }
    // For taking the pictures loaded and the frames queued by the last click.
    MemoryScreen& screen() { return screen_; }
    bool ended() const { return screen_.ended(); }

    // Where the keyboard focus goes now, from the button that has it.
    FocusDecision focus(std::optional<Button> focused) const { return decide_focus(story_, screen_, focused); }

    // What a screen reader hears beside a shown button's caption: for "1"
    // and "2", the line of the page that spells out what each means (slot L2
    // of Talk's page, written by the rule that shows them); none for the rest.
    std::optional<std::string_view> description(Button b) const {
        if (!is_choice(b) || !screen_.isVisible(b)) return std::nullopt;
        return story_.page(Button::Command1).slots[L2];
    }

private:
    MemoryScreen screen_;
    Story story_;
};

}  // namespace suirei
