// The route map: the story as a Graphviz graph. Each dialogue or narration
// run is one box (its states, its speakers, where it happens), each Move with
// its places one oval, each choice a gold box with its options line, each
// ending an octagon with its end marker; arrows are clicks, labelled with the
// button's caption. Wrong places loop back lightly.
#pragma once

#include <string>

#include "exploration.hpp"

namespace suirei::check {

std::string route_map_dot(const Exploration& explored);

}  // namespace suirei::check
