// Finds the shortest run of clicks on visible buttons, from start-up, that
// brings the story to a goal: a picture loaded, a state reached. The search
// runs the real engine on a memory screen; what a click can do next depends
// only on the story state and on which buttons are visible, so those two
// name a place in the search.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "memory_screen.hpp"
#include "story.hpp"

namespace suirei::testing {

struct Step {
    const Story& story;
    const MemoryScreen& screen;
    const std::vector<std::string>& loads;  // pictures loaded by the last click (or start-up)
};

using Goal = std::function<bool(const Step&)>;

inline std::optional<std::vector<Button>> shortest_route(const Script& script, const Goal& goal) {
    struct Node {
        StoryMemory memory;
        std::array<bool, kButtonCount> visible;
        std::optional<std::string> picture;
        int parent;
        Button via;
    };
    auto key = [](const StoryMemory& m, const std::array<bool, kButtonCount>& v) {
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < v.size(); ++i) bits |= static_cast<std::uint32_t>(v[i]) << i;
        return (static_cast<std::uint64_t>(static_cast<std::uint16_t>(m.state)) << 16) | bits;
    };
    auto route_to = [](const std::vector<Node>& nodes, int at) {
        std::vector<Button> clicks;
        for (; nodes[static_cast<std::size_t>(at)].parent >= 0; at = nodes[static_cast<std::size_t>(at)].parent)
            clicks.push_back(nodes[static_cast<std::size_t>(at)].via);
        std::reverse(clicks.begin(), clicks.end());
        return clicks;
    };

    MemoryScreen screen;
    Story story(screen, script);
    story.Form_Load();
    const std::vector<std::string> opening = screen.takeLoads();
    if (goal({story, screen, opening})) return std::vector<Button>{};

    std::vector<Node> nodes{{story.memory(), screen.visibility(), screen.picture(), -1, Button::Command12}};
    std::unordered_set<std::uint64_t> seen{key(story.memory(), screen.visibility())};
    std::deque<int> queue{0};
    while (!queue.empty()) {
        const int at = queue.front();
        queue.pop_front();
        for (Button b : kAllButtons) {
            const Node& from = nodes[static_cast<std::size_t>(at)];
            if (b == Button::Command12 || !from.visible[static_cast<std::size_t>(index(b))]) continue;
            MemoryScreen next;
            next.setVisibility(from.visible);
            next.setPicture(from.picture);
            Story step(next, script);
            step.restore(from.memory);
            step.click(b);
            const std::vector<std::string> loads = next.takeLoads();
            Node child{step.memory(), next.visibility(), next.picture(), at, b};
            if (goal({step, next, loads})) {
                nodes.push_back(std::move(child));
                return route_to(nodes, static_cast<int>(nodes.size()) - 1);
            }
            if (seen.insert(key(child.memory, child.visible)).second) {
                nodes.push_back(std::move(child));
                queue.push_back(static_cast<int>(nodes.size()) - 1);
            }
        }
    }
    return std::nullopt;
}

inline Goal loads_picture(std::string file) {
    return [file = std::move(file)](const Step& s) {
        return std::find(s.loads.begin(), s.loads.end(), file) != s.loads.end();
    };
}

inline Goal reaches_state(StoryState state) {
    return [state](const Step& s) { return s.story.state() == state; };
}

}  // namespace suirei::testing
