// The coup and the two ways it fails, played through the engine from start-up,
// checking what the player sees at each turn from the pact with uncle Karu on.
#include <gtest/gtest.h>

#include <map>
#include <set>
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

// How the prince reaches the coup: the answers he gives at the choice pages
// on the way (the ball game, the banquet, the uncle's offer, the marriage).
using Answers = std::map<StoryState, Button>;
const Answers kJoinTheUncle = {{8, Command10}, {156, Command11}, {190, Command11}, {194, Command10}};
const Answers kRefuseAtOnce = {{8, Command10}, {156, Command11}, {190, Command10}};
const Answers kRefuseTheBride = {{8, Command10}, {156, Command11}, {190, Command11}, {194, Command11}};

// Plays from start-up as a player who reads every page, answers as told and
// tries the offered places in window order, until the story reaches `target`.
void play_until(Player& p, StoryState target, const Answers& answers) {
    std::set<std::pair<StoryState, Button>> tried;
    for (int guard = 0; p.state() != target && guard < 2000; ++guard) {
        if (p.visible(Command10)) p.click(answers.at(p.state()));
        else if (p.visible(Command9)) p.click(Command9);
        else if (p.visible(Command1) || p.visible(Command2)) p.click(p.state() % 2 ? Command1 : Command2);
        else if (p.visible(Command3)) p.click(Command3);
        else
            for (Button place : {Command4, Command5, Command6, Command7, Command8})
                if (p.visible(place) && tried.insert({p.state(), place}).second) {
                    p.click(place);
                    break;
                }
        if (::testing::Test::HasFatalFailure()) return;
    }
    ASSERT_EQ(p.state(), target);
    p.screen().takeLoads();
}

std::string turns(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "話す 相手が話す ";
    return s;
}
const std::string kToTheChoice = "移動 法興寺 " + turns(8) + "移動 続きを読む*5 移動 " + turns(2) + "話す";  // 201 → 230
const std::string kToTheEmptyHall = turns(4) + "移動 法興寺 " + turns(5);                                // 401 → 421

// What T1 should show, line by line: "" empty, "*" any text, "abc*" a line
// beginning with abc, anything else exactly that line.
using Pattern = std::vector<std::string_view>;
Pattern page(std::initializer_list<std::pair<int, std::string_view>> filled) {
    Pattern p(kPageLines, "");
    for (auto [line, text] : filled) p[static_cast<std::size_t>(line - 1)] = text;
    return p;
}

struct Step {
    std::string clicks;
    StoryState state;
    std::vector<Button> buttons;
    std::string picture;
    Pattern text;
};

void expect_steps(Player& p, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        SCOPED_TRACE(s.clicks);
        p.play(s.clicks);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        EXPECT_EQ(p.state(), s.state);
        EXPECT_EQ(p.story_buttons(), s.buttons);
        EXPECT_EQ(p.picture(), s.picture);
        const auto shown = p.lines();
        ASSERT_EQ(shown.size(), s.text.size()) << p.text();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const std::string_view want = s.text[i], got = shown[i];
            if (want == "*") EXPECT_FALSE(got.empty()) << "line " << i + 1;
            else if (want.ends_with('*')) EXPECT_TRUE(got.starts_with(want.substr(0, want.size() - 1))) << got;
            else EXPECT_EQ(got, want) << "line " << i + 1;
        }
    }
}

// Each wrong place shows its own picture and reply and sends the prince back
// to Move, which offers the same four places again.
void try_wrong_places(Player& p, StoryState move_state) {
    const auto places = std::vector<Button>{Command4, Command5, Command6, Command7};
    const StoryState place_state = move_state + 1;
    expect_steps(p, {{"移動", place_state, places, p.picture(), {"どこへ行こうか？"}},
                     {"板葺宮", move_state, {Command3}, "kou.bmp", {lines::kOutTooMuch}},
                     {"移動", place_state, places, "kou.bmp", {"どこへ行こうか？"}},
                     {"南淵請安宅", move_state, {Command3}, "sh.bmp", {lines::kShoanOut}},
                     {"移動 甘橿の丘", move_state, {Command3}, "ama.bmp", {lines::kIrukaHomeNotNow}},
                     {"移動 法興寺", StoryState(move_state + 2), {Command1}, "houka.bmp", {"*"}}});
}

// Text, picture and buttons after every click of a run.
struct View {
    std::string text, picture;
    std::vector<Button> buttons;
    bool operator==(const View&) const = default;
};
std::vector<View> watch(Player& p, std::string_view clicks) {
    std::vector<View> out;
    std::istringstream in{std::string(clicks)};
    for (std::string word; in >> word;) {
        const auto star = word.find('*');
        const int times = star == std::string::npos ? 1 : std::stoi(word.substr(star + 1));
        for (int i = 0; i < times; ++i) {
            p.play(word.substr(0, star));
            out.push_back({std::string(p.text()), p.picture(), p.story_buttons()});
        }
    }
    return out;
}

TEST(Coup, MainRouteFromThePactToTheReforms) {
    Player p;
    play_until(p, 201, kJoinTheUncle);
    try_wrong_places(p, 201);
    EXPECT_EQ(p.text(), lines::kOhHighness);
    expect_steps(p, {
        {"話す 相手が話す", 205, {Command1, Command2}, "houka.bmp", page({{1, "*"}, {3, "*"}})},
        {turns(7), 219, {Command3}, "houka.bmp", page({{1, lines::kUntilLater}})},
        {"移動", 220, {Command9}, "kuro.bmp", {lines::kDaysOfPlanning}},
        {"続きを読む", 221, {Command9}, "kuro.bmp", page({{1, "*"}, {3, "*"}})},
        {"続きを読む*4", 225, {Command3}, "kuro.bmp", page({{1, "*"}})},
        {"移動", 225, {Command1}, "dai.bmp", {lines::kTributeReading}},
        {turns(2) + "話す", 230, {Command10, Command11}, "dai.bmp",
         page({{1, "*"}, {5, "１　子麻呂を斬る　　２　自分で入鹿に斬りつける"}})},
        {"2", 231, {Command1}, "iru.bmp", {""}},
        {"話す 相手が話す", 233, {Command1, Command2}, "iru.bmp", page({{1, "鎌足：*"}, {3, "天皇：*"}})},
        {"話す 相手が話す", 235, {Command9}, "iru.bmp", page({{1, "*"}})},
        {"続きを読む*6", 241, {Command9}, "iru.bmp", page({{1, "*"}})},
        {"続きを読む", 242, {}, "iru.bmp", page({{1, "*"}, {3, "*"}, {7, lines::kTheEndMain}})},
    });
    p.play("終了");
    EXPECT_TRUE(p.ended());
}

// Passes everything to the player's screen and notes what the page held
// whenever a frame of the blow was on screen.
class FrameWitness final : public Screen {
public:
    explicit FrameWitness(MemoryScreen& real) : real_(real) {}
    void setVisible(Button b, bool v) override { real_.setVisible(b, v); }
    bool isVisible(Button b) const override { return real_.isVisible(b); }
    void setText(std::string_view t) override { real_.setText(t); }
    std::string_view text() const override { return real_.text(); }
    void loadPicture(std::string_view f) override { real_.loadPicture(f); }
    void showFrame(std::string_view f, std::chrono::milliseconds h) override { real_.showFrame(f, h), pages.emplace_back(real_.text()); }
    void enterProgramFolder() override {}
    void quit() override { real_.quit(); }
    std::vector<std::string> pages;

private:
    MemoryScreen& real_;
};

TEST(Coup, TheBlowAtIrukaHoldsTheCryThroughFourFrames) {
    Player p;
    play_until(p, 201, kJoinTheUncle);
    p.play(kToTheChoice);
    p.screen().takeLoads();
    FrameWitness witness(p.screen());
    p.engine().rebind(witness);
    p.play("2");
    p.engine().rebind(p.screen());
    EXPECT_EQ(p.screen().takeLoads(), (std::vector<std::string>{"an1.bmp", "an2.bmp", "an3.bmp", "an4.bmp", "iru.bmp"}));
    ASSERT_EQ(witness.pages.size(), 4u);
    for (const std::string& cry : witness.pages) {
        EXPECT_EQ(cry, witness.pages[0]);
        EXPECT_FALSE(cry.empty());
        EXPECT_EQ(cry.find('\n'), std::string::npos);
    }
}

TEST(Coup, RefusalRouteFromEitherOfferToTheEnd) {
    for (const Answers* answers : {&kRefuseAtOnce, &kRefuseTheBride}) {
        SCOPED_TRACE(answers == &kRefuseAtOnce ? "refused at 190" : "refused at 194");
        Player p;
        play_until(p, 401, *answers);
        EXPECT_EQ(p.story_buttons(), std::vector<Button>{Command1});
        expect_steps(p, {
            {"話す", 402, {Command1, Command2}, "karu.bmp", page({{1, "*"}})},
            {"相手が話す", 403, {Command1, Command2}, "karu.bmp", page({{1, "*"}})},
            {"話す", 404, {Command1, Command2}, "karu.bmp", page({{1, "*"}, {3, "*"}})},
            {"相手が話す " + turns(2), 409, {Command3}, "karu.bmp", page({{1, "*"}})},
        });
        try_wrong_places(p, 409);
        expect_steps(p, {
            {"話す 相手が話す", 413, {Command1, Command2}, "houka.bmp", page({{1, "*"}})},
            {turns(2) + "話す", 418, {Command1, Command2}, "houka.bmp", page({{1, "*"}})},
            {"相手が話す", 419, {Command1, Command2}, "houka.bmp", page({{1, "*"}, {3, "*"}, {5, "*"}, {7, "*"}})},
            {"話す 相手が話す", 421, {Command3}, "houka.bmp", page({{1, lines::kUntilLater}})},
            {"移動 続きを読む*5", 427, {Command3}, "kuro.bmp", page({{1, "*"}})},
            {"移動", 427, {Command1}, "dai.bmp", {lines::kTributeReading}},
            {"話す", 428, {Command1, Command2}, "dai.bmp", page({{1, "*"}, {3, "*"}, {5, "*"}})},
            {"相手が話す", 429, {Command1, Command2}, "dai.bmp", page({{1, "*"}, {3, "*"}, {5, "*"}, {7, "*"}})},
            {"話す", 430, {Command9}, "kuro.bmp", page({{1, "*"}})},
            {"続きを読む*5", 435, {Command9}, "kuro.bmp", page({{1, "*"}, {5, lines::kTheEnd}})},
            {"続きを読む", 435, {Command9}, "kuro.bmp", page({{1, "*"}, {5, lines::kTheEnd}})},
        });
    }
}

// Cutting Komaro down falls into the same ending as the refusal, and both
// failed coups pass through the very ceremony eve of the main route.
TEST(Coup, TheRashAttackAndTheRefusalShareTheCeremonyAndTheEnding) {
    Player rash, refused;
    play_until(rash, 201, kJoinTheUncle);
    play_until(refused, 401, kRefuseAtOnce);
    rash.play("移動 法興寺 " + turns(8));
    refused.play(kToTheEmptyHall);
    EXPECT_EQ(watch(rash, "移動 続きを読む*5 移動"), watch(refused, "移動 続きを読む*5 移動"));

    rash.play(turns(2) + "話す");
    rash.screen().takeLoads();
    expect_steps(rash, {{"1", 501, {Command1}, "iru.bmp", {""}}});
    EXPECT_EQ(rash.screen().takeLoads(), std::vector<std::string>{"iru.bmp"});
    expect_steps(rash, {
        {"話す 相手が話す 話す 相手が話す", 505, {Command1, Command2}, "iru.bmp", page({{1, "*"}})},
        {"話す", 430, {Command9}, "kuro.bmp", page({{1, "*"}})},
    });
    refused.play("話す 相手が話す 話す");
    ASSERT_EQ(refused.state(), 430);
    EXPECT_EQ(rash.text(), refused.text());
    EXPECT_EQ(watch(rash, "続きを読む*6"), watch(refused, "続きを読む*6"));
}

}  // namespace
}  // namespace suirei::testing
