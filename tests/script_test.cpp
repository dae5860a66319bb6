// The story as a whole: the rule lists the engine walks, and every line the
// script can put on a page.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "check.hpp"
#include "focus.hpp"
#include "memory_screen.hpp"
#include "story.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

using enum Button;

TEST(Story, RuleListsAreStrictlyDescendingWithNoStateTwice) {
    const Script& s = story();
    EXPECT_TRUE(s.problems().empty()) << s.problems().front();
    for (Button b : kAllButtons) {
        const auto list = s.rules(b);
        for (std::size_t i = 1; i < list.size(); ++i)
            EXPECT_GT(list[i - 1]->state, list[i]->state) << name(b);
    }
}

TEST(Story, EachButtonHoldsItsShareOfTheFourHundredAndTwentyRules) {
    const std::map<Button, std::size_t> expected = {
        {Command1, 151}, {Command2, 141}, {Command3, 25}, {Command4, 12},  {Command5, 14},  {Command6, 11},
        {Command7, 11},  {Command8, 6},   {Command9, 37}, {Command10, 6}, {Command11, 6}, {Command12, 0},
    };
    std::size_t total = 0;
    for (const auto& [b, n] : expected) {
        EXPECT_EQ(story().rules(b).size(), n) << name(b);
        total += story().rules(b).size();
    }
    EXPECT_EQ(total, 420u);
}

TEST(Story, EveryStateSetIsTestedSomewhereExceptTheThreeEndings) {
    std::set<StoryState> tested, set;
    for (const Rule* r : story().all()) {
        tested.insert(r->state);
        if (r->next() >= 0) set.insert(r->next());
    }
    EXPECT_EQ(tested.size(), 375u);
    std::set<StoryState> untested;
    for (StoryState s : set)
        if (!tested.contains(s)) untested.insert(s);
    EXPECT_EQ(untested, (std::set<StoryState>{242, 389, 435}));
}

TEST(Story, EveryLineIsOneDisplayLineWithinItsStretchLimit) {
    int lines = 0;
    for (const Rule* r : story().all()) {
        const std::optional<LineLimit> stretch = line_limit(r->state);
        ASSERT_TRUE(stretch.has_value()) << "state " << r->state << " belongs to no stretch";
        for (const Action& a : *r) {
            const bool page = a.op == Op::Slot || a.op == Op::Trailer;
            if (!page && a.op != Op::Text) continue;
            ++lines;
            const std::string where = std::string(name(r->button)) + " at " + std::to_string(r->state) + ": " + std::string(a.text);
            EXPECT_FALSE(has_line_break(a.text)) << where;
            EXPECT_LE(utf8_length(a.text), page ? stretch->slot : stretch->text) << where;
            EXPECT_EQ(page, is_speaking(r->button)) << where;
            if (a.speaker == Speaker::choice) {
                EXPECT_TRUE(is_choice_line(a.text)) << where;
            }
            if (a.speaker != Speaker::none) {
                EXPECT_FALSE(a.text.empty()) << where;
            }
        }
    }
    EXPECT_GT(lines, 600);
    for (std::string_view line : story().opening()) EXPECT_LE(utf8_length(line), 35);
}

TEST(Story, SixChoicePagesAndThreeEndMarkers) {
    int choices = 0;
    std::multiset<std::string_view> markers;
    for (const Rule* r : story().all())
        for (const Action& a : *r) {
            choices += a.speaker == Speaker::choice;
            if (a.text == "・・・・完・・・・" || a.text == "・・・完・・・") markers.insert(a.text);
        }
    EXPECT_EQ(choices, 6);
    EXPECT_EQ(markers.count("・・・・完・・・・"), 1u);
    EXPECT_EQ(markers.count("・・・完・・・"), 2u);
}

// A keyboard player presses Space on whatever has the focus, and the focus
// goes where the story says after every press: that alone reads the whole
// story to an ending, without going round between a wrong place and Move.
TEST(Story, SpaceAloneReadsTheStoryToAnEnding) {
    MemoryScreen screen;
    Story game(screen, story());
    game.Form_Load();
    std::optional<Button> focused;
    int presses = 0;
    for (; presses < 1000 && !screen.ended(); ++presses) {
        const FocusDecision d = decide_focus(game, screen, focused);
        if (d.kind == FocusDecision::Kind::move) focused = d.to;
        ASSERT_TRUE(focused && screen.isVisible(*focused)) << "no button to press at state " << game.state();
        if (*focused == Command12) break;  // the last page of an ending
        game.click(*focused);
    }
    EXPECT_TRUE(game.state() == 242 || game.state() == 389 || game.state() == 435)
        << "stopped at state " << game.state() << " after " << presses << " presses";
}

}  // namespace
}  // namespace suirei
