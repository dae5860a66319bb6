// The screenplay: the whole script as a proofreading text, route by route.
// Each click that moves the story is printed once, with the button, the state
// it moves from and to, and the lines the player then sees, each with its
// speaker. A route that joins lines already printed says where, and goes on
// where it parts again; branches no route took (the other answer of a choice,
// the wrong places) follow at the end.
#pragma once

#include <ostream>

#include "exploration.hpp"

namespace suirei::check {

void write_screenplay(std::ostream& out, const Exploration& explored);

}  // namespace suirei::check
