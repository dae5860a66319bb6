// From uncle Karu's question to the pact, and the banquet route to the
// prince's arrest: played through the engine as a player clicks, checking the
// choices, the wrong places and their way back, the end page, and that every
// scene the banquet route shares with the main route shows the same pages.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "lines.hpp"
#include "player.hpp"

namespace suirei::testing {
namespace {

using enum Button;
namespace lines = script::lines;

constexpr std::string_view kMovePrompt = "どこへ行こうか？";

// ── Getting there ───────────────────────────────────────────────
// What the player sees after a click: the text, the picture, the buttons,
// keyed by the state the click was made at and the button.
struct Seen {
    std::string text, picture;
    std::vector<Button> buttons;
};
using Record = std::map<std::pair<StoryState, Button>, Seen>;

// Plays a plan of clicks: a caption clicks once, ">N" talks until state N,
// "~N" reads on until state N. With a record, remembers every click's view.
void run(Player& p, std::string_view plan, Record* seen = nullptr) {
    auto click = [&](Button b) {
        const StoryState at = p.state();
        p.click(b);
        if (seen) (*seen)[{at, b}] = Seen{std::string(p.text()), p.picture(), p.story_buttons()};
    };
    std::istringstream in{std::string(plan)};
    std::string word;
    while (in >> word && !::testing::Test::HasFatalFailure()) {
        if (word[0] == '>' || word[0] == '~') {
            const auto target = static_cast<StoryState>(std::stoi(word.substr(1)));
            for (int guard = 0; p.state() != target && guard < 200 && !::testing::Test::HasFatalFailure(); ++guard)
                click(word[0] == '~' ? Command9 : (p.state() % 2 ? Command1 : Command2));
            ASSERT_EQ(p.state(), target);
        } else {
            const auto star = word.find('*');
            const auto b = find_button(word.substr(0, star));
            ASSERT_TRUE(b.has_value()) << word;
            for (int i = star == std::string::npos ? 1 : std::stoi(word.substr(star + 1)); i > 0; --i) click(*b);
        }
    }
}

// From start-up to uncle Karu's question at 100, by the ball game.
void reach_karu(Player& p) {
    run(p,
        "続きを読む*4 話す 相手が話す 話す 1 移動 法興寺 >33 移動 南淵請安宅 >55 移動 板葺宮 >79 "
        "移動 甘橿の丘 移動 法興寺 >95 移動 軽皇子宅 >101");
    ASSERT_EQ(p.state(), 101);
    ASSERT_EQ(p.picture(), "karu.bmp");
    ASSERT_EQ(p.story_buttons(), (std::vector<Button>{Command1, Command2}));
}

// Plans from 101 to each turning point of the stretch, on both routes.
#define TO_155 ">127 移動 甘橿の丘 >151 移動 板葺宮 >155 "
#define TO_156 TO_155 ">156 "
#define TO_315 TO_156 "1 移動 甘橿の丘 移動 ~307 >314 1 "
constexpr std::string_view kTo127 = ">127", kTo151 = ">127 移動 甘橿の丘 >151", kTo155 = TO_155;
constexpr std::string_view kTo157 = TO_156 "2", kTo181 = TO_156 "2 移動 南淵請安宅 >181";
constexpr std::string_view kTo189 = TO_156 "2 移動 南淵請安宅 >181 移動 軽皇子宅 >189";
constexpr std::string_view kTo193 = TO_156 "2 移動 南淵請安宅 >181 移動 軽皇子宅 >190 2 >193";
constexpr std::string_view kTo313 = TO_156 "1 移動 甘橿の丘 移動 ~307 >313", kTo315 = TO_315;
constexpr std::string_view kTo339 = TO_315 "移動 南淵請安宅 >339", kTo355 = TO_315 "移動 南淵請安宅 >339 移動 軽皇子宅 >355";

// ── Choices ─────────────────────────────────────────────────────
// Each choice page, then each answer: the page shows the prince's line (a
// thought in parentheses at the uncle's two asks), an empty line and the
// choice line; the answer stands alone in the text box and leads on.
TEST(KaruIruka, ChoicesBothWays) {
    struct Case {
        std::string_view plan;
        std::string_view choice_line;
        bool thought;
        Button answer;
        StoryState next;
        Button then;  // the one story button after the answer
    };
    const Case cases[] = {
        {kTo155, "１　出席する　　２　断る", false, Command10, 301, Command3},
        {kTo155, "１　出席する　　２　断る", false, Command11, 157, Command3},
        {kTo189, "１　断る　　　２　承諾する", true, Command10, 401, Command1},
        {kTo189, "１　断る　　　２　承諾する", true, Command11, 191, Command1},
        {kTo193, "１　承諾する　　２　断る", true, Command10, 195, Command1},
        {kTo193, "１　承諾する　　２　断る", true, Command11, 401, Command1},
        {kTo313, "１　受け取る　　２　断る", false, Command10, 315, Command3},
        {kTo313, "１　受け取る　　２　断る", false, Command11, 315, Command3},
    };
    std::map<std::pair<StoryState, Button>, std::string> said;
    for (const Case& c : cases) {
        Player p;
        reach_karu(p);
        run(p, c.plan);
        p.click(Command1);
        const StoryState at = p.state();
        SCOPED_TRACE(std::to_string(at) + " " + std::string(caption(c.answer)));
        const auto page = p.lines();
        EXPECT_FALSE(page[0].empty());
        EXPECT_EQ(page[2], "");
        EXPECT_EQ(page[4], c.choice_line);
        for (int i = 5; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;
        EXPECT_EQ(c.thought, page[0].starts_with("（") && page[0].ends_with("）")) << page[0];
        EXPECT_EQ(p.story_buttons(), (std::vector<Button>{Command10, Command11}));

        const std::string picture = p.picture();
        p.click(c.answer);
        EXPECT_EQ(p.state(), c.next);
        EXPECT_FALSE(p.text().empty());
        EXPECT_EQ(p.text().find('\n'), std::string_view::npos) << "the answer stands alone";
        EXPECT_EQ(p.picture(), picture);
        EXPECT_EQ(p.story_buttons(), std::vector<Button>{c.then});
        said[{at, c.answer}] = std::string(p.text());
    }
    // Turning the uncle down is "1" at the first ask and "2" at the second,
    // in the same words; the two answers of one choice always differ.
    auto answer = [&](StoryState at, Button b) { return said[{at, b}]; };
    EXPECT_EQ(answer(190, Command10), answer(194, Command11));
    for (StoryState at : {156, 190, 194, 314}) EXPECT_NE(answer(at, Command10), answer(at, Command11)) << at;
}

// ── Places ──────────────────────────────────────────────────────
// Each Move state of the stretch: the places Move offers, every wrong place
// with its picture and (where the line is a stock one) its reply, and the
// right place with its picture.
struct Wrong {
    Button place;
    std::string_view picture;
    std::string_view reply;  // empty: a line of its own, checked for presence
};
struct PlaceCase {
    std::string_view plan;
    StoryState move_state;
    std::vector<Button> offered;
    std::vector<Wrong> wrong;
    Button right;
    std::string_view right_picture;
};

TEST(KaruIruka, WrongPlacesGoBackToMoveAndTheRightPlaceStillWorks) {
    const PlaceCase cases[] = {
        {kTo127, 127, {Command4, Command5, Command6, Command7},
         {{Command4, "kou.bmp", lines::kOutTooMuch}, {Command5, "hou.bmp", lines::kKamatariAway},
          {Command6, "sh.bmp", lines::kShoanOut}},
         Command7, "amai.bmp"},
        {kTo151, 151, {Command4, Command5, Command6, Command8},
         {{Command5, "hou.bmp", lines::kKamatariAway}, {Command6, "sh.bmp", lines::kShoanOut},
          {Command8, "ka.bmp", lines::kUncleOut}},
         Command4, "kou.bmp"},
        {kTo157, 157, {Command5, Command6, Command7, Command8},
         {{Command5, "hou.bmp", ""}, {Command7, "ama.bmp", lines::kIrukaHome}, {Command8, "ka.bmp", lines::kUncleOut}},
         Command6, "shou.bmp"},
        {kTo181, 181, {Command4, Command5, Command7, Command8},
         {{Command4, "kou.bmp", lines::kOutTooMuch}, {Command5, "hou.bmp", ""},
          {Command7, "ama.bmp", lines::kIrukaHomeNotNow}},
         Command8, "karu.bmp"},
        {kTo315, 315, {Command4, Command5, Command6, Command8},
         {{Command4, "kou.bmp", lines::kOutTooMuch}, {Command5, "hou.bmp", ""}, {Command8, "ka.bmp", lines::kUncleOut}},
         Command6, "shou.bmp"},
        {kTo339, 339, {Command4, Command5, Command7, Command8},
         {{Command4, "kou.bmp", lines::kOutTooMuch}, {Command5, "hou.bmp", ""},
          {Command7, "ama.bmp", lines::kIrukaHomeNotNow}},
         Command8, "karu.bmp"},
        {kTo355, 355, {Command4, Command5, Command6, Command7},
         {{Command4, "kou.bmp", lines::kOutTooMuch}, {Command6, "sh.bmp", lines::kShoanOut},
          {Command7, "ama.bmp", lines::kIrukaHomeNotNow}},
         Command5, "houka.bmp"},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.move_state);
        Player p;
        reach_karu(p);
        run(p, c.plan);
        ASSERT_EQ(p.state(), c.move_state);
        ASSERT_EQ(p.story_buttons(), std::vector<Button>{Command3});
        // Every wrong place, twice over: nothing is counted.
        for (int round = 0; round < 2; ++round)
            for (const Wrong& w : c.wrong) {
                SCOPED_TRACE(caption(w.place));
                p.click(Command3);
                EXPECT_EQ(p.text(), kMovePrompt);
                EXPECT_EQ(p.state(), c.move_state + 1);
                EXPECT_EQ(p.story_buttons(), c.offered);
                p.click(w.place);
                EXPECT_EQ(p.state(), c.move_state);
                EXPECT_EQ(p.picture(), w.picture);
                if (w.reply.empty()) {
                    EXPECT_FALSE(p.text().empty());
                } else {
                    EXPECT_EQ(p.text(), w.reply);
                }
                EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command3});
            }
        p.click(Command3);
        EXPECT_EQ(p.story_buttons(), c.offered);
        p.click(c.right);
        EXPECT_EQ(p.state(), c.move_state + 2);
        EXPECT_EQ(p.picture(), c.right_picture);
        EXPECT_FALSE(p.text().empty());
        EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command1});
        // The place's line went straight to the text box: the first Talk page
        // after it holds the prince's line alone.
        p.click(Command1);
        const auto page = p.lines();
        EXPECT_FALSE(page[0].empty());
        for (int i = 1; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;
    }
}

// ── Shared scenes ───────────────────────────────────────────────
TEST(KaruIruka, SharedScenesShowTheSamePagesOnBothRoutes) {
    // Every wrong place is tried on the way, so its reply is compared too.
    constexpr std::string_view kMain =
        ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 2 移動 南淵請安宅 >181 "
        "移動 板葺宮 移動 法興寺 移動 甘橿の丘 移動 軽皇子宅 >190 2 >194 1 >201 "
        "移動 板葺宮 移動 南淵請安宅 移動 甘橿の丘 移動 法興寺 >219 移動 ~225 移動";
    constexpr std::string_view kBanquet =
        ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >314 1 移動 南淵請安宅 >339 "
        "移動 板葺宮 移動 法興寺 移動 甘橿の丘 移動 軽皇子宅 >355 "
        "移動 板葺宮 移動 南淵請安宅 移動 甘橿の丘 移動 法興寺 >373 移動 ~379 移動";
    Record main, banquet;
    {
        Player p;
        reach_karu(p);
        run(p, kMain, &main);
    }
    {
        Player p;
        reach_karu(p);
        run(p, kBanquet, &banquet);
    }
    ASSERT_FALSE(HasFailure());

    struct Span {
        StoryState first, last;  // on the main route
        int offset;
    };
    const Span shared[] = {
        {158, 180, 158},  // Shoan's counsel, from the welcome at his gate
        {182, 188, 158},  // the places, the uncle waiting, his promise
        {191, 192, 156},  // the test: a Soga bride
        {196, 200, 154},  // the allies
        {202, 225, 154},  // Kamatari's plan and the eve of the ceremony
    };
    int compared = 0;
    for (const auto& [key, seen] : main) {
        const auto [state, button] = key;
        for (const Span& s : shared) {
            if (state < s.first || state > s.last) continue;
            if (state == 158 && button != Command6) continue;  // only Shoan's welcome is shared there
            if (state == 225 && button != Command3) continue;  // the hall differs from the first word on
            SCOPED_TRACE(std::to_string(state) + " " + std::string(caption(button)));
            const auto there = banquet.find({static_cast<StoryState>(state + s.offset), button});
            ASSERT_NE(there, banquet.end());
            EXPECT_EQ(there->second.text, seen.text);
            EXPECT_EQ(there->second.picture, seen.picture);
            EXPECT_EQ(there->second.buttons, seen.buttons);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 23 + 4 + 6 + 2 + 5 + 4 + 16 + 7);
}

// ── The banquet route, stop by stop ─────────────────────────────
// What the player sees at the turns of the route: the night's narration, the
// morning page, the hall opened by Move, the turn to narration and the end.
TEST(Banquet, FromTheNightToTheEndPage) {
    enum Shape { kAny, kOneDirectLine, kOnlyFirstLine, kEndPage };
    struct Stop {
        std::string_view clicks;
        StoryState state;
        std::string_view picture;
        std::vector<Button> buttons;
        Shape shape;
    };
    const Stop stops[] = {
        {TO_156 "1 移動", 302, "kou.bmp", {Command7}, kAny},  // one place only
        {"甘橿の丘", 303, "amai.bmp", {Command3}, kOneDirectLine},
        {"移動", 304, "kuro.bmp", {Command9}, kOneDirectLine},  // the prompt is gone
        {"~307", 307, "kuro.bmp", {Command1}, kAny},
        {"話す", 308, "amai.bmp", {Command1, Command2}, kOnlyFirstLine},  // no trace of the choice line of 155
        {">313 話す 1 移動 南淵請安宅 >339 移動 軽皇子宅 >355 移動 法興寺 >373 移動 ~379", 379, "kuro.bmp", {Command3},
         kAny},
        {"移動", 379, "dai.bmp", {Command1}, kOneDirectLine},
        {">385", 385, "dai.bmp", {Command1, Command2}, kAny},
        {"話す", 386, "kuro.bmp", {Command9}, kOnlyFirstLine},  // Talk's page turned narration
        {"~389", 389, "kuro.bmp", {}, kEndPage},
    };
    Player p;
    reach_karu(p);
    for (const Stop& stop : stops) {
        run(p, stop.clicks);
        ASSERT_EQ(p.state(), stop.state) << stop.clicks;
        SCOPED_TRACE(stop.state);
        EXPECT_EQ(p.picture(), stop.picture);
        EXPECT_EQ(p.story_buttons(), stop.buttons);
        const auto page = p.lines();
        switch (stop.shape) {
        case kAny: break;
        case kOneDirectLine:
            EXPECT_EQ(page.size(), 1u) << p.text();
            EXPECT_FALSE(page[0].empty());
            break;
        case kOnlyFirstLine:
            EXPECT_FALSE(page[0].empty());
            for (int i = 1; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;
            break;
        case kEndPage:
            EXPECT_FALSE(page[0].empty());
            EXPECT_EQ(page[4], lines::kTheEnd);
            for (int i : {1, 2, 3, 5, 6, 7, 8, 9, 10}) EXPECT_EQ(page[i], "") << "line " << i;
            break;
        }
    }
    ASSERT_TRUE(p.visible(Command12));
    p.click(Command12);
    EXPECT_TRUE(p.ended());
}

}  // namespace
}  // namespace suirei::testing

#undef TO_155
#undef TO_156
#undef TO_315
