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
// A plan of clicks: a caption clicks once, ">N" talks until state N,
// "~N" reads on until state N.
void run(Player& p, std::string_view plan) {
    std::istringstream in{std::string(plan)};
    std::string word;
    while (in >> word) {
        if (word[0] == '>') p.converse_until(static_cast<StoryState>(std::stoi(word.substr(1))));
        else if (word[0] == '~') p.read_until(static_cast<StoryState>(std::stoi(word.substr(1))));
        else p.play(word);
        if (::testing::Test::HasFatalFailure()) return;
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

// Main route from 101 to each Move state of this stretch and beyond.
constexpr std::string_view kTo127 = ">127";
constexpr std::string_view kTo151 = ">127 移動 甘橿の丘 >151";
constexpr std::string_view kTo155 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >155";
constexpr std::string_view kTo157 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 2";
constexpr std::string_view kTo181 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 2 移動 南淵請安宅 >181";
constexpr std::string_view kTo189 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 2 移動 南淵請安宅 >181 移動 軽皇子宅 >189";
constexpr std::string_view kTo193 =
    ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 2 移動 南淵請安宅 >181 移動 軽皇子宅 >190 2 >193";
// Banquet route from 101.
constexpr std::string_view kTo313 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >313";
constexpr std::string_view kTo315 = ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >314 1";
constexpr std::string_view kTo339 =
    ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >314 1 移動 南淵請安宅 >339";
constexpr std::string_view kTo355 =
    ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >314 1 移動 南淵請安宅 >339 "
    "移動 軽皇子宅 >355";
constexpr std::string_view kTo379 =
    ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動 甘橿の丘 移動 ~307 >314 1 移動 南淵請安宅 >339 "
    "移動 軽皇子宅 >355 移動 法興寺 >373 移動 ~379";

// ── Choices ─────────────────────────────────────────────────────
TEST(KaruIruka, ChoicePagesShowTheLineOnTheFifthLineAndOnlyTheChoiceButtons) {
    struct Case {
        std::string_view plan;
        StoryState at;
        std::string_view choice_line;
        bool thought;
    };
    const Case cases[] = {
        {kTo155, 155, "１　出席する　　２　断る", false},
        {kTo189, 189, "１　断る　　　２　承諾する", true},
        {kTo193, 193, "１　承諾する　　２　断る", true},
        {kTo313, 313, "１　受け取る　　２　断る", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        Player p;
        reach_karu(p);
        run(p, c.plan);
        ASSERT_EQ(p.state(), c.at);
        p.click(Command1);
        const auto page = p.lines();
        ASSERT_EQ(page.size(), 11u);
        EXPECT_FALSE(page[0].empty());
        EXPECT_EQ(page[2], "");
        EXPECT_EQ(page[4], c.choice_line);
        for (int i = 5; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;
        if (c.thought) {
            EXPECT_TRUE(page[0].starts_with("（") && page[0].ends_with("）")) << page[0];
        }
        EXPECT_EQ(p.story_buttons(), (std::vector<Button>{Command10, Command11}));
    }
}

TEST(KaruIruka, EachAnswerLeadsOnWithItsOwnLineAlone) {
    struct Case {
        std::string_view plan;
        Button answer;
        StoryState next;
        std::vector<Button> then;
    };
    const Case cases[] = {
        {kTo155, Command10, 301, {Command3}},
        {kTo155, Command11, 157, {Command3}},
        {kTo189, Command10, 401, {Command1}},
        {kTo189, Command11, 191, {Command1}},
        {kTo193, Command10, 195, {Command1}},
        {kTo193, Command11, 401, {Command1}},
        {kTo313, Command10, 315, {Command3}},
        {kTo313, Command11, 315, {Command3}},
    };
    std::map<std::pair<StoryState, Button>, std::string> said;
    for (const Case& c : cases) {
        Player p;
        reach_karu(p);
        run(p, c.plan);
        p.click(Command1);
        const StoryState at = p.state();
        SCOPED_TRACE(std::to_string(at) + " " + std::string(caption(c.answer)));
        const std::string picture = p.picture();
        p.click(c.answer);
        EXPECT_EQ(p.state(), c.next);
        EXPECT_FALSE(p.text().empty());
        EXPECT_EQ(p.text().find('\n'), std::string_view::npos) << "the answer stands alone";
        EXPECT_EQ(p.picture(), picture);
        EXPECT_EQ(p.story_buttons(), c.then);
        said[{at, c.answer}] = std::string(p.text());
    }
    // Turning the uncle down is "1" at the first ask and "2" at the second,
    // in the same words; every other pair of answers differs.
    auto answer = [&](StoryState at, Button b) { return said[{at, b}]; };
    EXPECT_EQ(answer(190, Command10), answer(194, Command11));
    EXPECT_NE(answer(190, Command10), answer(190, Command11));
    EXPECT_NE(answer(156, Command10), answer(156, Command11));
    EXPECT_NE(answer(314, Command10), answer(314, Command11));
}

TEST(KaruIruka, TheGiftMakesNoDifferenceLater) {
    std::vector<std::string> pages[2];
    const Button answers[] = {Command10, Command11};
    for (int i = 0; i < 2; ++i) {
        Player p;
        reach_karu(p);
        run(p, kTo313);
        p.play("話す");
        p.click(answers[i]);
        run(p, "移動 南淵請安宅 >339");
        pages[i].emplace_back(p.text());
        pages[i].push_back(p.picture());
    }
    EXPECT_EQ(pages[0], pages[1]);
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

TEST(KaruIruka, HokojiRepliesDifferWithThePrincesErrand) {
    // At 158 he merely notes Kamatari's absence; at 316 he has something to
    // tell him; at 182 and 340 it is an important matter, in the same words.
    auto hokoji = [](std::string_view plan) {
        Player p;
        reach_karu(p);
        run(p, plan);
        p.play("移動 法興寺");
        return std::string(p.text());
    };
    const std::string at158 = hokoji(kTo157), at182 = hokoji(kTo181), at316 = hokoji(kTo315), at340 = hokoji(kTo339);
    EXPECT_EQ(at182, at340);
    EXPECT_NE(at158, at182);
    EXPECT_NE(at316, at340);
    EXPECT_NE(at158, at316);
    EXPECT_TRUE(std::string_view(lines::kIrukaHomeNotNow).starts_with(lines::kIrukaHome));
}

// ── Shared scenes ───────────────────────────────────────────────
// What the player sees after a click: the text, the picture, the buttons.
struct Seen {
    std::string text, picture;
    std::vector<Button> buttons;
    friend bool operator==(const Seen&, const Seen&) = default;
};
using Record = std::map<std::pair<StoryState, Button>, Seen>;

// Plays a plan like run(), remembering what every click showed, keyed by
// the state it was clicked at and the button.
void record(Player& p, std::string_view plan, Record& out) {
    auto click = [&](Button b) {
        const StoryState at = p.state();
        p.click(b);
        out[{at, b}] = Seen{std::string(p.text()), p.picture(), p.story_buttons()};
    };
    std::istringstream in{std::string(plan)};
    std::string word;
    while (in >> word && !::testing::Test::HasFatalFailure()) {
        if (word[0] == '>' || word[0] == '~') {
            const auto target = static_cast<StoryState>(std::stoi(word.substr(1)));
            for (int guard = 0; p.state() != target && guard < 200; ++guard)
                click(word[0] == '~' ? Command9 : (p.state() % 2 ? Command1 : Command2));
            ASSERT_EQ(p.state(), target);
        } else {
            const auto b = find_button(word);
            ASSERT_TRUE(b.has_value()) << word;
            click(*b);
        }
    }
}

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
        record(p, kMain, main);
    }
    {
        Player p;
        reach_karu(p);
        record(p, kBanquet, banquet);
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

// ── The arrest and the end ──────────────────────────────────────
TEST(Banquet, TheCeremonyOpensWithMoveAndEndsWithTheEndPage) {
    Player p;
    reach_karu(p);
    run(p, kTo379);
    ASSERT_EQ(p.state(), 379);
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command3});
    p.click(Command3);
    EXPECT_EQ(p.state(), 379);
    EXPECT_EQ(p.picture(), "dai.bmp");
    EXPECT_EQ(p.text(), lines::kTributeReading);
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command1});

    run(p, ">385");
    EXPECT_EQ(p.picture(), "dai.bmp");
    p.click(Command1);
    // The turn to narration: one line on Talk's page, the rest emptied
    // earlier in the hall.
    EXPECT_EQ(p.state(), 386);
    EXPECT_EQ(p.picture(), "kuro.bmp");
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command9});
    auto page = p.lines();
    EXPECT_FALSE(page[0].empty());
    for (int i = 1; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;

    run(p, "~389");
    page = p.lines();
    EXPECT_FALSE(page[0].empty());
    EXPECT_EQ(page[2], "");
    EXPECT_EQ(page[4], lines::kTheEnd);
    for (int i : {6, 8, 10}) EXPECT_EQ(page[i], "") << "line " << i;
    EXPECT_EQ(p.picture(), "kuro.bmp");
    EXPECT_TRUE(p.story_buttons().empty());
    EXPECT_TRUE(p.visible(Command12));
    // Nothing moves the story on from here; Quit ends it.
    p.click(Command12);
    EXPECT_TRUE(p.ended());
}

TEST(Banquet, TheNightOpensWithOnePlaceAndNarration) {
    Player p;
    reach_karu(p);
    run(p, ">127 移動 甘橿の丘 >151 移動 板葺宮 >156 1 移動");
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command7});
    p.click(Command7);
    EXPECT_EQ(p.picture(), "amai.bmp");
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command3});
    p.click(Command3);
    EXPECT_EQ(p.state(), 304);
    EXPECT_EQ(p.picture(), "kuro.bmp");
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command9});
    EXPECT_EQ(p.text().find('\n'), std::string_view::npos) << "the Move prompt is gone";
    run(p, "~307");
    EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command1});
    p.click(Command1);
    EXPECT_EQ(p.picture(), "amai.bmp");
    // The morning page holds the thanks alone: the choice line of 155 is gone.
    const auto page = p.lines();
    EXPECT_FALSE(page[0].empty());
    for (int i = 1; i < 11; ++i) EXPECT_EQ(page[i], "") << "line " << i;
}

}  // namespace
}  // namespace suirei::testing
