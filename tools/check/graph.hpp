// The story seen from above: story states joined by the clicks that fire a
// rule, each with the first (shortest-path) situation where that click
// happens. The route map and the screenplay are drawn from it.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exploration.hpp"

namespace suirei::check {

struct Transition {
    StoryState from = 0;
    StoryState to = 0;
    Button button{};
    const Step* step = nullptr;  // the first click of its kind the exploration made
};

class StoryGraph {
public:
    explicit StoryGraph(const Exploration& explored);

    // Story states in the order they are first reached.
    const std::vector<StoryState>& states() const { return states_; }
    // Clicks out of a state that fire a rule, in order of first discovery.
    std::span<const Transition> out(StoryState s) const;
    // The states with a click into s (s itself excluded).
    std::vector<StoryState> sources(StoryState s) const;
    // The first situation at state s the exploration reached.
    const Situation& first_at(StoryState s) const { return *first_.at(s); }

private:
    std::vector<StoryState> states_;
    std::map<StoryState, std::vector<Transition>> out_;
    std::map<StoryState, std::vector<StoryState>> sources_;
    std::map<StoryState, const Situation*> first_;
};

// Where a scene picture shows the prince to be, or empty for the dark
// interludes and the opening.
std::string_view place_of_picture(std::string_view file);

// The lines of a page as the text box shows them: CR LF, a lone CR or a
// lone LF each start a new line.
std::vector<std::string_view> page_lines(std::string_view text);

// The two options of a choice line, "１　行く　　　２　行かない"; empty when
// it is none.
std::pair<std::string, std::string> options_of(std::string_view line);

// "101–126", "1–7, 259–265": states as runs.
std::string state_ranges(std::vector<StoryState> states);

}  // namespace suirei::check
