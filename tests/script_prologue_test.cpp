// The opening of the story played as a player plays it: the narration, the
// choice of the ball game and both of its answers, Kamatari, Shoan, the
// empress's counsel, the search for allies and the arrival at uncle Karu's.
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

#include "lines.hpp"
#include "player.hpp"

namespace suirei::testing {
namespace {

using enum Button;
using script::kOpening;
namespace lines = script::lines;

enum class Branch { go, decline };

// The place that moves the story on at each place state of the opening.
const std::map<StoryState, Button> kRightPlace = {
    {10, Command5}, {34, Command6}, {56, Command4}, {80, Command7},
    {82, Command5}, {96, Command8}, {260, Command7}, {262, Command5},
};

// Clicks the button that moves the story on, whichever that is, until the
// story reaches `target`.
void advance_to(Player& p, StoryState target, Branch branch = Branch::go) {
    for (int guard = 0; p.state() != target && guard < 300; ++guard) {
        const StoryState s = p.state();
        if (p.visible(Command9)) p.click(Command9);
        else if (p.visible(Command3)) p.click(Command3);
        else if (p.visible(Command10)) p.click(branch == Branch::go ? Command10 : Command11);
        else if (kRightPlace.contains(s)) p.click(kRightPlace.at(s));
        else p.click(s % 2 ? Command1 : Command2);
        if (::testing::Test::HasFatalFailure()) return;
    }
    ASSERT_EQ(p.state(), target);
}

// Which of the page's eleven lines carry text, as a string of 'x' and '.'.
std::string filled(const Player& p) {
    std::string out;
    for (const std::string& line : p.lines()) out += line.empty() ? '.' : 'x';
    return out;
}

// From start-up to the choice, with an out-of-turn click at 6 and at 7 that
// must leave the state and the page as they were.
TEST(Prologue, NarrationAndTheChoicePage) {
    struct Step {
        const char* clicks;
        StoryState state;
        const char* filled;
        std::vector<Button> buttons;
    };
    const Step steps[] = {
        {"", 1, "x.x.x......", {Command9}},
        {"続きを読む", 2, "x.x.x.x....", {Command9}},  // the last claimant trails off
        {"続きを読む", 3, "x..........", {Command9}},  // the narrator alone
        {"続きを読む*2", 5, "x.x.x......", {Command1}},  // L3 stays as rule 2 emptied it
        {"話す", 6, "x..........", {Command1, Command2}},
        {"話す", 6, "x..........", {Command1, Command2}},
        {"相手が話す", 7, "x.x........", {Command1, Command2}},
        {"相手が話す", 7, "x.x........", {Command1, Command2}},
        {"話す", 8, "x...x......", {Command10, Command11}},
    };
    Player p;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.lines()[2 * i], kOpening[i]);
    EXPECT_EQ(p.picture(), "kuron.bmp");
    std::string before;
    StoryState was = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.clicks);
        p.play(step.clicks);
        EXPECT_EQ(p.state(), step.state);
        EXPECT_EQ(filled(p), step.filled);
        EXPECT_EQ(p.story_buttons(), step.buttons);
        if (was == step.state) {
            EXPECT_EQ(p.text(), before) << "an out-of-turn click changed the page";
        }
        before = p.text();
        was = p.state();
    }
    EXPECT_EQ(p.picture(), "kou.bmp");
    EXPECT_EQ(p.lines()[4], "１　行く　　　２　行かない");
}

// Both answers of the choice lead to Kamatari; from 16 on nothing the player
// sees tells the two paths apart, and the choice line never comes back.
TEST(Prologue, BothAnswersMeetKamatariAndJoinAtSixteen) {
    Player go, decline;
    advance_to(go, 12);
    EXPECT_EQ(filled(go), "x.x........") << "the lost shoe empties the choice line";
    advance_to(decline, 262, Branch::decline);
    EXPECT_EQ(decline.picture(), "ama.bmp") << "the empty Soga mansion";
    decline.play("法興寺 話す");
    EXPECT_EQ(filled(decline), "x..........") << "Talk's page of the choice is wiped";

    advance_to(go, 15);
    decline.play("相手が話す");
    ASSERT_EQ(decline.state(), 265);
    EXPECT_EQ(go.lines()[2], decline.lines()[2]) << "Kamatari's wish is one and the same line";
    EXPECT_NE(go.lines()[0], decline.lines()[0]);

    go.play("話す");
    decline.play("話す");  // one click: 265, then the answer written at 15
    for (const Player* p : {&go, &decline}) {
        EXPECT_EQ(p->state(), 16);
        EXPECT_EQ(filled(*p), "x..........");
        EXPECT_EQ(p->picture(), "houka.bmp");
        EXPECT_EQ(p->story_buttons(), (std::vector{Command1, Command2}));
    }
    EXPECT_EQ(go.text(), decline.text());
    advance_to(go, 101);
    advance_to(decline, 101, Branch::decline);
    EXPECT_EQ(go.text(), decline.text());
}

// Every wrong place answers with its remark and picture, hides Talk and sends
// the prince back to Move, which offers the same places again.
TEST(Prologue, WrongPlacesLeadBackToMove) {
    struct Case {
        StoryState move_state;
        Branch branch;
        Button place;
        const char* picture;
        std::string_view remark;
    };
    // The empty Soga mansion moves the story on at 80; at 96 it sends the
    // prince back with the very same remark.
    Player at80;
    advance_to(at80, 80);
    at80.click(Command7);
    ASSERT_EQ(at80.state(), 81);
    const std::string mansion(at80.text());
    ASSERT_FALSE(mansion.empty());

    const Case cases[] = {
        {55, Branch::go, Command5, "hou.bmp", lines::kKamatariAway},
        {261, Branch::decline, Command4, "kou.bmp", lines::kOutTooMuch},
        {79, Branch::go, Command5, "hou.bmp", lines::kKamatariAway},
        {79, Branch::go, Command6, "sh.bmp", lines::kShoanOut},
        {81, Branch::go, Command4, "kou.bmp", lines::kOutTooMuch},
        {81, Branch::go, Command6, "sh.bmp", lines::kShoanOut},
        {95, Branch::go, Command4, "kou.bmp", lines::kOutTooMuch},
        {95, Branch::go, Command6, "sh.bmp", lines::kShoanOut},
        {95, Branch::go, Command7, "ama.bmp", mansion},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.move_state + 1 << ", " << caption(c.place));
        Player p;
        advance_to(p, c.move_state, c.branch);
        p.play("移動");
        const auto offered = p.story_buttons();
        for (int round = 0; round < 2; ++round) {
            p.click(c.place);
            EXPECT_EQ(p.state(), c.move_state);
            EXPECT_EQ(p.picture(), c.picture);
            EXPECT_EQ(p.text(), c.remark);
            EXPECT_EQ(p.story_buttons(), std::vector{Command3});
            p.play("移動");
            EXPECT_EQ(p.story_buttons(), offered);
        }
        advance_to(p, c.move_state + 3, c.branch);  // the right place still works
    }
}

// The empress's long answers: four lines on the tombs, three on the purple cap
// (no line of the tombs left), her six-line reply, four once L4 and the
// trailer are emptied, then one.
TEST(Counsel, LongSpeechesFillAndEmptyTheirLines) {
    const std::pair<StoryState, const char*> pages[] = {
        {66, "x.x.x.x...."}, {68, "x.x.x......"}, {69, "x.x.x.x.x.x"}, {71, "x.x.x.x...."}, {73, "x.........."},
    };
    Player p;
    for (const auto& [state, lines_with_text] : pages) {
        advance_to(p, state);
        EXPECT_EQ(filled(p), lines_with_text) << "at state " << state;
    }
}

// A picture stays until a rule loads another; places with nobody in them
// leave the page to their one line.
TEST(Counsel, PicturesStayThroughScenesAndMoves) {
    struct Span {
        StoryState from, to;
        const char* picture;
    };
    const Span spans[] = {
        {13, 34, "houka.bmp"}, {35, 56, "shou.bmp"}, {57, 80, "kou.bmp"},
        {83, 96, "houka.bmp"}, {97, 101, "karu.bmp"},
    };
    Player p;
    for (const Span& s : spans) {
        for (StoryState at = s.from; at <= s.to; ++at) {
            advance_to(p, at);
            ASSERT_EQ(p.picture(), s.picture) << "at state " << at;
            if (at == 35) {
                EXPECT_EQ(p.text(), "") << "Shoan's house opens on an empty page";
            }
        }
    }
    EXPECT_EQ(filled(p), "x.x.x......") << "uncle Karu's question";
    EXPECT_EQ(p.story_buttons(), (std::vector{Command1, Command2}));
}

}  // namespace
}  // namespace suirei::testing
