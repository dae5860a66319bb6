// What can be wrong with a story, found over the rule tables and over every
// situation a player can reach. Each finding names the story state, the
// button and, where it is about a line, the slot, the way a linter names a
// file and a line:
//
//   state 230 Command11 L2: ...
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "check.hpp"
#include "exploration.hpp"

namespace suirei::check {

enum class Kind {
    ScriptProblem,    // the rule lists themselves are malformed (a state twice)
    DeadRule,         // a rule that no path ever fires
    EndUnreached,     // an end state no path reaches
    NoWayOut,         // a click leads where no end state can be reached any more
    NoMove,           // a situation off the ends whose visible buttons move nothing
    PageLines,        // a composed page that is not eleven lines
    LineTooLong,      // a line longer than its stretch allows
    LineBreak,        // a line with a line break inside
    EmptyLine,        // a spoken line that says nothing
    ChoiceLine,       // a choice page whose options line is malformed
    UntestedState,    // a rule moves to a state no rule tests
};

struct Finding {
    Kind kind{};
    StoryState state = 0;           // the state the rule tests, or the click starts from
    std::optional<Button> button;   // the rule's button, or the button clicked
    std::string where;              // "L0".."L4", "trailer", "T1", or empty
    std::string what;

    // "state 230 Command11 L2: what"
    std::string line() const;
};

// A line outside the game's stretches (script/check.hpp) may hold as many
// characters as the widest of them.
inline constexpr int kDefaultLineLimit = 35;

// The three endings: the reform, the banquet route's arrest, the failed coup.
inline constexpr std::array<StoryState, 3> kEndStates = {242, 389, 435};

inline bool is_end(StoryState s) { return std::find(kEndStates.begin(), kEndStates.end(), s) != kEndStates.end(); }

// Findings from the rule tables alone.
std::vector<Finding> check_rules(const Script& script);
// Findings from the reachable situations, and the rule checks above.
std::vector<Finding> check_story(const Exploration& explored);

struct Statistics {
    std::size_t situations = 0;
    std::size_t clicks = 0;         // clicks tried, Quit not counted
    std::size_t quit_offered = 0;   // situations that showed Quit, which none followed
    std::size_t rules = 0;
    std::size_t rules_fired = 0;
    std::size_t states_reached = 0;
    std::vector<StoryState> ends_reached;
};

Statistics statistics(const Exploration& explored);

}  // namespace suirei::check
