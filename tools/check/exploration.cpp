#include "exploration.hpp"

#include <string>
#include <unordered_map>

#include "memory_screen.hpp"

namespace suirei::check {

std::vector<const Rule*> fired_rules(const Script& script, StoryState state, Button b) {
    MemoryScreen screen;
    Story story(screen, script);
    story.restore({state, {}, {}});
    std::vector<const Rule*> fired;
    story.click(b, &fired);
    return fired;
}

namespace {

// What tells one situation from another, as bytes to compare and hash: the
// state, the buttons, the text and the picture, and every line of the three
// pages. Page lines are views into the script's own constant data, so where a
// line lives and how long it is identifies it; every empty line is the same line.
std::string key_of(const Situation& s) {
    std::string key;
    auto add = [&key](const auto& value) { key.append(reinterpret_cast<const char*>(&value), sizeof value); };
    auto add_text = [&](std::string_view text) {
        add(text.size());
        key += text;
    };
    auto add_line = [&add](std::string_view line) {
        add(line.empty() ? nullptr : line.data());
        add(line.size());
    };
    add(s.memory.state);
    add(s.visible);
    add_text(s.text);
    add_text(s.picture);
    for (const Page& page : s.memory.pages) {
        for (std::string_view line : page.slots) add_line(line);
        add_line(page.trailer);
    }
    return key;
}

}  // namespace

Exploration::Exploration(const Script& script) : script_(&script) {
    MemoryScreen screen;
    Story story(screen, script);

    auto capture = [&]() {
        Situation s;
        s.memory = story.memory();
        s.visible = screen.visibility();
        s.text = screen.text();
        s.picture = screen.picture().value_or("");
        return s;
    };

    std::unordered_map<std::string, SituationId> known;
    auto admit = [&](Situation s) {
        auto [it, fresh] = known.emplace(key_of(s), static_cast<SituationId>(situations_.size()));
        if (fresh) situations_.push_back(std::move(s));
        return it->second;
    };

    story.Form_Load();
    screen.takeLoads();
    admit(capture());

    // Breadth first: situations_ doubles as the queue.
    for (SituationId at = 0; at < situations_.size(); ++at) {
        for (Button b : kAllButtons) {
            if (!situations_[at].shows(b) || b == Button::Command12) continue;
            const Situation& here = situations_[at];
            story.restore(here.memory);
            screen.setVisibility(here.visible);
            screen.setText(here.text);
            screen.setPicture(here.picture.empty() ? std::nullopt : std::optional(here.picture));

            std::vector<const Rule*> fired;
            story.click(b, &fired);
            screen.takeLoads();
            screen.takeFrames();

            Situation next = capture();
            next.reached_by = static_cast<std::uint32_t>(steps_.size());
            steps_.push_back({at, admit(std::move(next)), b, std::move(fired)});
        }
    }
}

}  // namespace suirei::check
