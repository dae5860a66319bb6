// Where the keyboard goes after a click. Players of story games press Space
// all the time, so the focus must rest on a button that moves the story on,
// and never fall to Quit by itself while anything else is shown: one stray
// press would end a game that has no saves. Every front end asks here and
// does what it is told, so the desktop window, the page and the Windows
// window agree.
#pragma once

#include <optional>
#include <vector>

#include "button.hpp"
#include "screen.hpp"
#include "story.hpp"

namespace suirei {

// The shown buttons, Quit aside, whose click would take the story to another
// state, in tab order; a click that only goes back (a wrong place, which
// returns to the Move state whence one click leads here again) comes after
// those that get somewhere new. Talk and Other speaks take turns, so only one
// of them is ever among these. Each click is tried on a copy of the story;
// nothing on the screen changes.
std::vector<Button> moving_buttons(const Story& story, const Screen& screen);

struct FocusDecision {
    enum class Kind {
        stay,  // the focus stays where it is
        move,  // the focus goes to `to`
        none,  // no button takes it: the window keeps it
    };
    Kind kind = Kind::stay;
    Button to{};
    friend bool operator==(const FocusDecision&, const FocusDecision&) = default;
};

// The decision after a click, or whenever the focus left the buttons:
// `focused` is the button that has the focus, if a button has it. It stays on
// a shown button that moves the story; otherwise it goes to the first one
// that does, failing that to the first shown button other than Quit, and to
// Quit only when Quit is all there is (the last page of an ending). A front
// end does not ask once the game has ended.
FocusDecision decide_focus(const Story& story, const Screen& screen, std::optional<Button> focused);

}  // namespace suirei
