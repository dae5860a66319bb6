// Where the keyboard goes after a click. Players of story games press Space
// all the time, so the focus must rest on a button that moves the story on,
// and never fall to Quit by itself: one stray press would end a game that has
// no saves. Every front end asks here, so the desktop window and the page
// agree.
#pragma once

#include <optional>
#include <vector>

#include "button.hpp"
#include "screen.hpp"
#include "story.hpp"

namespace suirei {

// The shown buttons, Quit aside, whose click would take the story to another
// state, in tab order. Talk and Other speaks take turns, so only one of them
// is ever among these. Each click is tried on a copy of the story; nothing on
// the screen changes.
std::vector<Button> moving_buttons(const Story& story, const Screen& screen);

// The first of those; failing that, the first shown button other than Quit;
// nothing when Quit is all there is.
std::optional<Button> story_focus(const Story& story, const Screen& screen);

}  // namespace suirei
