// The engine against small tables of its own: gates, pre-actions, no-match
// clicks, fall-through and start-up, independent of the story's wording.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "focus.hpp"
#include "memory_screen.hpp"
#include "story.hpp"

namespace suirei {
namespace {

using enum Button;
using enum Speaker;

constexpr std::array kTable = {
    on(1, Command9).to(2).say(narration, L0, "one", "two"),
    on(2, Command9).to(3).show(Command1).hide(Command9).say(narration, L0, "three"),
    on(3, Command1).to(4).say(prince, L0, "p3").clear(L1),
    on(4, Command2).to(5).say(mother, L0, "m4", "m4b").trailer(mother, "m4t"),
    on(5, Command1).to(6).show(Command10, Command11).hide(Command1, Command2).say(prince, L0, "p5").choice("１　a　　２　b"),
    on(6, Command10).to(7).text(prince, "yes"),
    on(6, Command11).to(21).text(prince, "no"),
    on(7, Command3).to(8).show(Command4, Command5),
    on(8, Command4).to(7).show(Command3).hide(Command1).picture("kou.bmp").text(mother, "back"),
    on(8, Command5).to(9).picture("houka.bmp").text(kamatari, "found"),
    // Talk at 21 falls through to its rule for 9, which sits lower in the list.
    on(21, Command1).to(9),
    on(9, Command1).to(10).say(prince, L0, "p9"),
    on(10, Command2).to(11).clear_trailer(),
    // The strike: frames held on screen, then the last picture.
    on(11, Command1).to(12).text(prince, "cry"),
};

const Script::Opening kOpening = {"o1", "o2", "o3"};

struct Engine : ::testing::Test {
    Script script{{kTable}, kOpening};
    MemoryScreen screen;
    Story story{screen, script};

    void SetUp() override { story.Form_Load(); }
    void at(StoryState s) { story.restore({s, story.memory().pages, story.memory().opening}); }
};

TEST_F(Engine, StartUpShowsReadOnThePictureAndTheOpeningPage) {
    EXPECT_EQ(story.state(), 1);
    EXPECT_TRUE(screen.isVisible(Command9));
    EXPECT_TRUE(screen.isVisible(Command12));
    for (Button b : {Command1, Command2, Command3, Command4, Command10, Command11}) EXPECT_FALSE(screen.isVisible(b));
    EXPECT_EQ(screen.picture(), "kuron.bmp");
    EXPECT_EQ(screen.text(), "o1\r\n\r\no2\r\n\r\no3\r\n\r\n\r\n\r\n\r\n\r\n");
    // Read on composes its own page, not start-up's.
    story.click(Command9);
    EXPECT_EQ(screen.text(), "one\r\n\r\ntwo\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(Engine, SlotsKeepWhatTheirButtonLastWroteAndPagesAreIndependent) {
    story.click(Command9);
    story.click(Command9);  // writes only L0: L1 still holds "two"
    EXPECT_EQ(screen.text(), "three\r\n\r\ntwo\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    story.click(Command1);
    EXPECT_EQ(screen.text(), "p3\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    story.click(Command2);  // the six-line page: five slots and the trailer
    EXPECT_EQ(screen.text(), "m4\r\n\r\nm4b\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nm4t");
    story.click(Command1);
    EXPECT_EQ(screen.text(), "p5\r\n\r\n\r\n\r\n１　a　　２　b\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(Engine, GatesMakeOutOfTurnClicksHarmless) {
    at(4);
    screen.setVisible(Command2, false);
    screen.setText("direct");
    story.click(Command1);  // even state: Other speaks shown, nothing else
    EXPECT_TRUE(screen.isVisible(Command2));
    EXPECT_EQ(screen.text(), "direct");
    EXPECT_EQ(story.state(), 4);

    at(3);
    story.click(Command2);  // odd state: nothing at all
    EXPECT_EQ(screen.text(), "direct");
    EXPECT_EQ(story.state(), 3);
}

TEST_F(Engine, NoMatchClicksCarryOutOnlyPreActionsAndRender) {
    story.click(Command9);  // Read on's page: one / two
    at(13);                 // no button has a rule here

    screen.setText("direct");
    story.click(Command9);
    EXPECT_EQ(screen.text(), "one\r\n\r\ntwo\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") << "Read on re-renders its page";

    screen.setVisible(Command3, true);
    story.click(Command3);
    EXPECT_FALSE(screen.isVisible(Command3));
    EXPECT_EQ(screen.text(), "どこへ行こうか？");

    for (Button b : {Command2, Command3, Command4, Command5, Command6, Command7, Command8}) screen.setVisible(b, true);
    screen.setVisible(Command9, true);
    story.click(Command6);
    EXPECT_TRUE(screen.isVisible(Command1));
    for (Button b : {Command2, Command3, Command4, Command5, Command6, Command7, Command8}) EXPECT_FALSE(screen.isVisible(b));
    EXPECT_TRUE(screen.isVisible(Command9)) << "a place click leaves other buttons alone";
    EXPECT_EQ(screen.text(), "");

    screen.setVisible(Command10, true);
    screen.setVisible(Command11, true);
    story.click(Command11);
    EXPECT_TRUE(screen.isVisible(Command3));
    EXPECT_FALSE(screen.isVisible(Command10));
    EXPECT_FALSE(screen.isVisible(Command11));
    EXPECT_EQ(story.state(), 13);
    EXPECT_EQ(screen.picture(), "kuron.bmp");
}

TEST_F(Engine, WrongPlaceGoesBackAndMoveOffersThePlacesAgain) {
    at(7);
    story.click(Command3);
    story.click(Command4);
    EXPECT_EQ(story.state(), 7);
    EXPECT_EQ(screen.text(), "back");
    EXPECT_EQ(screen.picture(), "kou.bmp");
    EXPECT_FALSE(screen.isVisible(Command1)) << "the rule hides what the pre-action showed";
    EXPECT_TRUE(screen.isVisible(Command3));
    story.click(Command3);
    EXPECT_TRUE(screen.isVisible(Command4));
    EXPECT_TRUE(screen.isVisible(Command5));
    story.click(Command5);
    EXPECT_EQ(story.state(), 9);
    EXPECT_EQ(screen.picture(), "houka.bmp");
    EXPECT_TRUE(screen.isVisible(Command1));
}

TEST_F(Engine, ALoweredStateFiresTheLowerRuleInTheSameClick) {
    at(6);
    story.click(Command11);
    EXPECT_EQ(story.state(), 21);
    story.click(Command1);
    EXPECT_EQ(story.state(), 10) << "21 sets 9, and the rule for 9 fires in the same click";
    EXPECT_EQ(screen.text(), "p9\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    // A rule that raises the state fires nothing further in a descending walk.
    story.click(Command2);
    EXPECT_EQ(story.state(), 11);
}

TEST_F(Engine, QuitEndsAtOnceAtAnyState) {
    at(4);
    story.click(Command12);
    EXPECT_TRUE(screen.ended());
    EXPECT_EQ(story.state(), 4);
}

TEST_F(Engine, TheKeyboardFocusFollowsTheButtonWhoseTurnItIsNeverQuit) {
    using Buttons = std::vector<Button>;
    using Kind = FocusDecision::Kind;
    const auto expect_focus = [&](Buttons moving, std::optional<Button> focus) {
        const std::string text(screen.text());
        const auto memory = story.memory();
        EXPECT_EQ(moving_buttons(story, screen), moving) << "at state " << story.state();
        const FocusDecision from_nowhere = decide_focus(story, screen, std::nullopt);
        const FocusDecision expected = focus ? FocusDecision{Kind::move, *focus} : FocusDecision{Kind::none, {}};
        EXPECT_EQ(from_nowhere, expected)
            << "at state " << story.state();
        if (focus) {
            EXPECT_EQ(decide_focus(story, screen, *focus).kind, Kind::stay) << "at state " << story.state();
        }
        EXPECT_EQ(screen.text(), text) << "the trial clicks touched the screen";
        EXPECT_TRUE(story.memory() == memory) << "the trial clicks touched the story";
    };
    expect_focus({Command9}, Command9);
    story.click(Command9);
    story.click(Command9);
    expect_focus({Command1}, Command1);
    story.click(Command1);  // Talk and Other speaks both shown: Other speaks' turn
    expect_focus({Command2}, Command2);
    EXPECT_EQ(decide_focus(story, screen, Command1), (FocusDecision{Kind::move, Command2}));
    EXPECT_EQ(decide_focus(story, screen, Command12), (FocusDecision{Kind::move, Command2}));
    story.click(Command2);
    story.click(Command1);
    expect_focus({Command10, Command11}, Command10);
    story.click(Command10);
    expect_focus({Command3}, Command3);
    // Nothing shown moves the story: the first shown button, still not Quit.
    at(12);
    screen.setVisible(Command1, true);
    screen.setVisible(Command2, true);
    expect_focus({}, Command1);
    // Quit alone, as on the last page of an ending: Quit.
    for (Button b : kAllButtons) screen.setVisible(b, b == Command12);
    expect_focus({}, Command12);
    // Nothing at all.
    screen.setVisible(Command12, false);
    expect_focus({}, std::nullopt);
}

TEST(ScriptAssembly, ListsAreStrictlyDescendingAndDuplicatesAreReported) {
    static constexpr std::array a = {on(3, Command1).to(4), on(9, Command1).to(10), on(4, Command2).to(5)};
    static constexpr std::array b = {on(5, Command1).to(6), on(3, Command1).to(8), on(2, Command12)};
    const Script script({a, b}, kOpening);
    const auto talk = script.rules(Command1);
    ASSERT_EQ(talk.size(), 4u);
    for (std::size_t i = 1; i < talk.size(); ++i) EXPECT_GE(talk[i - 1]->state, talk[i]->state);
    ASSERT_EQ(script.problems().size(), 2u);
    EXPECT_EQ(script.problems()[0], "Command1 has two rules for state 3");
    EXPECT_NE(script.problems()[1].find("Command12"), std::string::npos);
}

}  // namespace
}  // namespace suirei
