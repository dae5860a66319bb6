// Every situation a player can reach, found by clicking every visible button
// of every situation, breadth first from start-up, until nothing new turns up.
//
// A situation is all a later click can depend on: the story state and the
// page buffers (the story's memory), which buttons are visible, the text of
// T1 and the picture in P1. Quit is never followed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script.hpp"
#include "story.hpp"

namespace suirei::check {

using SituationId = std::uint32_t;
inline constexpr std::uint32_t kNoStep = 0xFFFFFFFF;

struct Situation {
    StoryMemory memory;
    std::array<bool, kButtonCount> visible{};  // by index(b)
    std::string text;                          // T1
    std::string picture;                       // P1; empty: no picture yet
    std::uint32_t reached_by = kNoStep;        // the click that first reached it, an index into Exploration::steps()

    StoryState state() const { return memory.state; }
    bool shows(Button b) const { return visible[static_cast<std::size_t>(index(b))]; }
};

// One click of a visible button, from one situation to another (possibly the
// same), with the rules it fired in the order they fired.
struct Step {
    SituationId from = 0;
    SituationId to = 0;
    Button button{};
    std::vector<const Rule*> fired;

    bool moves() const { return !fired.empty(); }
};

// The rules a click of `b` fires at story state `state`, in the order the
// engine runs them, as the engine tells them: past the turns of Talk and
// Other speaks, the whole list walked top to bottom against the state as each
// rule leaves it.
std::vector<const Rule*> fired_rules(const Script& script, StoryState state, Button b);

class Exploration {
public:
    explicit Exploration(const Script& script);

    const Script& script() const { return *script_; }

    // situations()[0] is the window right after start-up.
    const std::vector<Situation>& situations() const { return situations_; }
    // Every click, situation by situation in button order; self-loops included.
    const std::vector<Step>& steps() const { return steps_; }

private:
    const Script* script_;
    std::vector<Situation> situations_;
    std::vector<Step> steps_;
};

}  // namespace suirei::check
