// A player for the tests: the real script and engine on a memory screen,
// clicked the way a person clicks, that is only on visible buttons.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "memory_screen.hpp"
#include "page.hpp"
#include "story.hpp"
#include "stretches.hpp"

namespace suirei::testing {

class Player {
public:
    explicit Player(const Script& script = story()) : story_(screen_, script) { story_.Form_Load(); }

    // Clicks one visible button; a hidden one fails the test, as no player
    // could click it.
    void click(Button b) {
        ASSERT_TRUE(screen_.isVisible(b)) << name(b) << " (" << caption(b) << ") is hidden at state " << state();
        story_.click(b);
    }

    // A run of clicks by identity or caption, separated by spaces; "name*N"
    // clicks N times. Example: "続きを読む*4 話す 相手が話す".
    void play(std::string_view clicks) {
        std::istringstream in{std::string(clicks)};
        std::string word;
        while (in >> word) {
            int times = 1;
            if (const auto star = word.find('*'); star != std::string::npos) {
                times = std::stoi(word.substr(star + 1));
                word.resize(star);
            }
            const auto b = find_button(word);
            ASSERT_TRUE(b.has_value()) << "no button called " << word;
            for (int i = 0; i < times; ++i) {
                click(*b);
                if (::testing::Test::HasFatalFailure()) return;
            }
        }
    }

    // Alternates Talk and Other speaks, whichever the state's parity calls
    // for, until the story reaches `target`.
    void converse_until(StoryState target) {
        for (int guard = 0; state() != target && guard < 200; ++guard) {
            click(state() % 2 ? Button::Command1 : Button::Command2);
            if (::testing::Test::HasFatalFailure()) return;
        }
        ASSERT_EQ(state(), target);
    }

    // Clicks Read on until the story reaches `target`.
    void read_until(StoryState target) {
        for (int guard = 0; state() != target && guard < 200; ++guard) {
            click(Button::Command9);
            if (::testing::Test::HasFatalFailure()) return;
        }
        ASSERT_EQ(state(), target);
    }

    StoryState state() const { return story_.state(); }
    std::string_view text() const { return screen_.text(); }
    std::string picture() const { return screen_.picture().value_or(""); }
    bool visible(Button b) const { return screen_.isVisible(b); }
    bool ended() const { return screen_.ended(); }

    // The eleven lines of the page (split at CR LF).
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::string_view t = screen_.text();
        for (;;) {
            const auto at = t.find(kLineBreak);
            out.emplace_back(t.substr(0, at));
            if (at == std::string_view::npos) break;
            t.remove_prefix(at + kLineBreak.size());
        }
        return out;
    }

    // The visible buttons other than Quit, in window order.
    std::vector<Button> story_buttons() const {
        std::vector<Button> out;
        for (Button b : kAllButtons)
            if (b != Button::Command12 && screen_.isVisible(b)) out.push_back(b);
        return out;
    }

    MemoryScreen& screen() { return screen_; }
    Story& engine() { return story_; }

private:
    MemoryScreen screen_;
    Story story_;
};

}  // namespace suirei::testing
