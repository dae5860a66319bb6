// The story checker over small tables: a sound little story with all three
// endings, a wrong place and two choices, and the same story broken in the
// ways a script author breaks a story.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "exploration.hpp"
#include "findings.hpp"
#include "route_map.hpp"
#include "screenplay.hpp"
#include "stretches.hpp"

namespace suirei::check {
namespace {

using enum Button;
using enum Speaker;

// Read on, a choice; "1" leads to a Move with a right and a wrong place and
// the ending at 242; "2" to Amakashi hill and a second choice between the
// endings at 389 and 435.
std::vector<Rule> sound_story() {
    return {
        on(1, Command9).to(3).hide(Command9).show(Command1).say(narration, L0, "昔、飛鳥の都でのこと。"),
        on(3, Command1).to(4).hide(Command1, Command2).show(Command10, Command11)
            .say(prince, L0, "さて、どうしたものか。").clear(L1).choice("１　行く　　２　行かない"),
        on(4, Command10).to(5).text(prince, "行ってみよう。"),
        on(4, Command11).to(7).text(prince, "やめておこう。"),
        on(5, Command3).to(6).show(Command4, Command5),
        on(6, Command4).to(241).picture("kou.bmp").text(mother, "おかえりなさい。"),
        on(6, Command5).to(5).show(Command3).hide(Command1).picture("hou.bmp").text(prince, "誰もいない。"),
        on(241, Command1).to(242).say(narration, L0, "・・・・完・・・・"),
        on(7, Command3).to(8).show(Command7),
        on(8, Command7).to(9).picture("amai.bmp").text(iruka, "ようこそ、皇子様。"),
        on(9, Command1).to(10).hide(Command1, Command2).show(Command10, Command11)
            .say(prince, L0, "うーむ……").choice("１　残る　　　２　帰る"),
        on(10, Command10).to(11).hide(Command3).show(Command9).text(prince, "もう少し残ろう。"),
        on(10, Command11).to(13).hide(Command3).show(Command1).text(prince, "帰るとしよう。"),
        on(11, Command9).to(389).say(narration, L0, "・・・完・・・"),
        on(13, Command1).to(435).hide(Command1, Command2).say(narration, L0, "・・・完・・・"),
    };
}

constexpr Script::Opening kOpening = {"一行目", "二行目", "三行目"};

Rule& rule_at(std::vector<Rule>& rules, StoryState state, Button button) {
    auto it = std::find_if(rules.begin(), rules.end(),
                           [&](const Rule& r) { return r.state == state && r.button == button; });
    if (it == rules.end()) throw std::logic_error("no such rule in the test story");
    return *it;
}

// The text of the first slot or T1 action of a rule, replaced.
void set_line(Rule& r, std::string_view text) {
    for (std::uint8_t i = 0; i < r.count; ++i)
        if (r.actions[i].op == Op::Slot || r.actions[i].op == Op::Text) {
            r.actions[i].text = text;
            return;
        }
}

// The options line of a choice rule, replaced.
void set_choice(Rule& r, std::string_view text) {
    for (std::uint8_t i = 0; i < r.count; ++i)
        if (r.actions[i].speaker == Speaker::choice) r.actions[i].text = text;
}

struct Checked {
    std::vector<Rule> rules;
    Script script;
    Exploration explored;
    std::vector<Finding> findings;

    explicit Checked(std::vector<Rule> table)
        : rules(std::move(table)), script({std::span<const Rule>(rules)}, kOpening), explored(script),
          findings(check_story(explored)) {}

    bool has(Kind kind, StoryState state, std::optional<Button> button, std::string_view where = {}) const {
        return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
            return f.kind == kind && f.state == state && f.button == button && (where.empty() || f.where == where);
        });
    }
    std::string all() const {
        std::string out;
        for (const Finding& f : findings) out += f.line() + "\n";
        return out;
    }
};

TEST(StoryCheck, SoundStoryHasNoFindingsAndReachesEveryEnd) {
    const Checked c(sound_story());
    EXPECT_TRUE(c.findings.empty()) << c.all();
    const Statistics st = statistics(c.explored);
    EXPECT_EQ(st.rules, 15u);
    EXPECT_EQ(st.rules_fired, 15u);
    EXPECT_EQ(st.ends_reached, (std::vector<StoryState>{242, 389, 435}));
    // The wrong place adds situations (its remark and picture) but settles.
    EXPECT_GT(st.situations, st.states_reached);
}

struct Broken {
    const char* name;
    std::function<void(std::vector<Rule>&)> breakage;
    Kind kind;
    StoryState state;
    std::optional<Button> button;
    std::string_view where = {};
};

void PrintTo(const Broken& b, std::ostream* os) { *os << b.name; }

class BrokenStory : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenStory, IsReportedWithItsStateAndButton) {
    std::vector<Rule> rules = sound_story();
    GetParam().breakage(rules);
    const Checked c(std::move(rules));
    EXPECT_TRUE(c.has(GetParam().kind, GetParam().state, GetParam().button, GetParam().where)) << c.all();
}

// Lines of a given length in characters, from a full-width one.
std::string_view chars(int n) {
    static std::vector<std::string> made(64);
    std::string& s = made.at(static_cast<std::size_t>(n));
    if (s.empty())
        for (int i = 0; i < n; ++i) s += "あ";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenStory,
    ::testing::Values(
        Broken{"rule_on_a_state_nothing_reaches",
               [](auto& r) { r.push_back(on(99, Command9).to(3).say(narration, L0, "誰も読まない。")); },
               Kind::DeadRule, 99, Command9},
        Broken{"talk_rule_on_an_even_state_never_passes_its_gate",
               [](auto& r) { r.push_back(on(6, Command1).to(241).say(prince, L0, "届かない。")); },
               Kind::DeadRule, 6, Command1},
        Broken{"only_quit_left", [](auto& r) { rule_at(r, 13, Command1) = on(13, Command1).to(14).hide(Command1, Command2)
                                                   .say(prince, L0, "さて。"); r.push_back(on(14, Command9).to(435)); },
               Kind::NoWayOut, 10, Command11},  // where the trap closes: 13 has no other way on
        Broken{"only_quit_left_offers_no_button",
               [](auto& r) { rule_at(r, 13, Command1) = on(13, Command1).to(14).hide(Command1, Command2)
                                 .say(prince, L0, "さて。"); r.push_back(on(14, Command9).to(435)); },
               Kind::NoMove, 13, Command1},
        Broken{"move_offers_only_the_wrong_place",
               [](auto& r) { rule_at(r, 5, Command3) = on(5, Command3).to(6).show(Command5); },
               Kind::NoWayOut, 4, Command10},
        Broken{"state_set_but_never_tested", [](auto& r) { rule_at(r, 8, Command7).actions[0].value = 19; },
               Kind::UntestedState, 8, Command7},
        Broken{"ending_nobody_reaches", [](auto& r) { rule_at(r, 13, Command1).actions[0].value = 389; },
               Kind::EndUnreached, 435, std::nullopt},
        Broken{"slot_one_over_35", [](auto& r) { set_line(rule_at(r, 3, Command1), chars(36)); },
               Kind::LineTooLong, 3, Command1, "L0"},
        Broken{"slot_one_over_30_in_the_coup", [](auto& r) { set_line(rule_at(r, 241, Command1), chars(31)); },
               Kind::LineTooLong, 241, Command1, "L0"},
        Broken{"direct_text_one_over_35", [](auto& r) { set_line(rule_at(r, 6, Command4), chars(36)); },
               Kind::LineTooLong, 6, Command4, "T1"},
        Broken{"line_break_in_a_slot", [](auto& r) { set_line(rule_at(r, 3, Command1), "一行目\r\n二行目"); },
               Kind::LineBreak, 3, Command1, "L0"},
        Broken{"line_break_makes_the_page_twelve_lines",
               [](auto& r) { set_line(rule_at(r, 3, Command1), "一行目\n二行目"); }, Kind::PageLines, 3, Command1},
        Broken{"line_break_in_a_direct_text", [](auto& r) { set_line(rule_at(r, 4, Command11), "やめ\nよう"); },
               Kind::LineBreak, 4, Command11, "T1"},
        Broken{"spoken_line_left_empty", [](auto& r) { set_line(rule_at(r, 9, Command1), ""); },
               Kind::EmptyLine, 9, Command1, "L0"},
        Broken{"choice_line_with_one_space",
               [](auto& r) { set_choice(rule_at(r, 3, Command1), "１　行く　２　行かない"); },
               Kind::ChoiceLine, 3, Command1, "L2"},
        Broken{"choice_line_with_half_width_digits",
               [](auto& r) { set_choice(rule_at(r, 9, Command1), "1　残る　　　2　帰る"); },
               Kind::ChoiceLine, 9, Command1, "L2"},
        Broken{"choice_buttons_shown_without_a_choice_line",
               [](auto& r) {
                   for (Action& a : rule_at(r, 9, Command1).actions)
                       if (a.speaker == choice) a = Action{Op::Slot, L2, prince, 0, "どうする？"};
               },
               Kind::ChoiceLine, 9, Command1, "L2"},
        Broken{"two_rules_for_one_state_and_button",
               [](auto& r) { r.push_back(on(5, Command3).to(6).show(Command4)); }, Kind::ScriptProblem, 0,
               std::nullopt}),
    [](const ::testing::TestParamInfo<Broken>& info) { return std::string(info.param.name); });

// The limits are inclusive: a line exactly as long as its stretch allows passes.
TEST(StoryCheck, LinesAtTheirLimitPass) {
    struct Case {
        StoryState state;
        Button button;
        int length;
    };
    for (const Case& c : {Case{3, Command1, 35}, Case{241, Command1, 30}, Case{6, Command4, 35}}) {
        std::vector<Rule> rules = sound_story();
        set_line(rule_at(rules, c.state, c.button), chars(c.length));
        const Checked checked(std::move(rules));
        EXPECT_FALSE(checked.has(Kind::LineTooLong, c.state, c.button)) << checked.all();
    }
    const std::vector<Rule> rules{on(120, Command2).say(karu, L1, chars(32)).text(karu, chars(33))};
    const Script script({std::span<const Rule>(rules)}, kOpening);
    std::vector<std::string> where;
    for (const Finding& f : check_rules(script))
        if (f.kind == Kind::LineTooLong) where.push_back(f.where);
    EXPECT_EQ(where, (std::vector<std::string>{"L1"}));  // slots hold 31 there, T1 33
}

// The engine's walk: gates first, then every rule against the state as the
// rules before it left it.
TEST(StoryCheck, FiredRulesFollowTheGatesAndFallThrough) {
    const std::vector<Rule> rules{
        on(265, Command1).to(15),
        on(15, Command1).to(16).say(prince, L0, "なんと。"),
        on(16, Command2).to(17).say(kamatari, L0, "はい。"),
    };
    const Script script({std::span<const Rule>(rules)}, kOpening);
    struct Case {
        StoryState state;
        Button button;
        std::size_t fired;
    };
    for (const Case& c : {Case{265, Command1, 2}, Case{15, Command1, 1}, Case{16, Command1, 0},
                          Case{16, Command2, 1}, Case{15, Command2, 0}, Case{15, Command12, 0}})
        EXPECT_EQ(fired_rules(script, c.state, c.button).size(), c.fired)
            << name(c.button) << " at " << c.state;
}

TEST(StoryCheck, RouteMapShowsChoicesWrongPlacesAndEndings) {
    const Checked c(sound_story());
    const std::string dot = route_map_dot(c.explored);
    for (std::string_view wanted : {"選択\\n１　行く　　２　行かない", "結末 242", "結末 389", "結末 435",
                                    "label=\"1 行く\"", "label=\"2 帰る\"", "5–6 移動"})
        EXPECT_NE(dot.find(wanted), std::string::npos) << wanted << "\n" << dot;
    // The wrong place is a light loop back to the Move.
    EXPECT_NE(dot.find("g5 -> g5 [label=\"法興寺\", style=dashed"), std::string::npos) << dot;
}

TEST(StoryCheck, ScreenplayPrintsEveryMovingClickOnce) {
    const Checked c(sound_story());
    std::ostringstream out;
    write_screenplay(out, c.explored);
    const std::string text = out.str();
    for (std::string_view wanted : {"4 1（行く） → 5", "4 2（行かない） → 7", "6 法興寺 → 5", "皇極天皇：おかえりなさい。",
                                    "中大兄皇子：さて、どうしたものか。", "── end 242 ──", "── end 435 ──"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted << "\n" << text;
    EXPECT_EQ(text.find("10 1（残る） → 11"), text.rfind("10 1（残る） → 11")) << text;
}

}  // namespace
}  // namespace suirei::check

namespace suirei::check {
namespace {

using enum Button;
using enum Speaker;

// A situation is more than its story state: the same state reached with
// other buttons on screen can be a dead end on one path only.
TEST(StoryCheck, DeadEndOnOnePathOnlyIsFound) {
    std::vector<Rule> rules = sound_story();
    // "2" now lands at the Move of "1", but hides Move on the way.
    rule_at(rules, 4, Command11) = on(4, Command11).to(5).hide(Command3).text(prince, "やめておこう。");
    for (StoryState s : {7, 8, 9, 10, 11, 13})
        std::erase_if(rules, [s](const Rule& r) { return r.state == s; });
    rule_at(rules, 241, Command1).actions[0].value = 242;
    const Checked c(std::move(rules));
    EXPECT_TRUE(c.has(Kind::NoMove, 4, Command11)) << c.all();
    EXPECT_FALSE(c.has(Kind::NoMove, 4, Command10)) << c.all();
    EXPECT_TRUE(c.has(Kind::NoWayOut, 4, Command11)) << c.all();
}

// What the player sees tells situations apart, and nothing else does.
TEST(StoryCheck, SituationsDifferByTextAndPictureOnly) {
    struct Case {
        const char* name;
        std::string_view picture_after_2;
        std::string_view text_after_2;
        std::size_t situations_at_5;
    };
    static constexpr std::string_view kSame = "同じ言葉。";
    for (const Case& c : {Case{"same text and picture", "kou.bmp", kSame, 1},
                          Case{"other picture", "hou.bmp", kSame, 2},
                          Case{"other text", "kou.bmp", "別の言葉。", 2}}) {
        std::vector<Rule> rules = sound_story();
        rule_at(rules, 4, Command10) = on(4, Command10).to(5).picture("kou.bmp").text(prince, kSame);
        rule_at(rules, 4, Command11) = on(4, Command11).to(5).picture(c.picture_after_2).text(prince, c.text_after_2);
        const Checked checked(std::move(rules));
        const auto& all = checked.explored.situations();
        // After Move and a wrong place the story is back at 5 once more.
        const auto at_5 = static_cast<std::size_t>(
            std::count_if(all.begin(), all.end(), [](const Situation& s) { return s.state() == 5; }));
        EXPECT_EQ(at_5, c.situations_at_5 + 1) << c.name;
    }
}

TEST(StoryCheck, FindingsReadLikeALinter) {
    struct Case {
        Finding finding;
        std::string_view line;
    };
    for (const Case& c : {
             Case{{Kind::ChoiceLine, 230, Command11, "L2", "bad"}, "state 230 Command11 L2: bad"},
             Case{{Kind::EndUnreached, 435, std::nullopt, {}, "never"}, "state 435: never"},
             Case{{Kind::ScriptProblem, 0, std::nullopt, {}, "twice"}, "script: twice"},
         })
        EXPECT_EQ(c.finding.line(), c.line);
}

// The screenplay names the speaker the rule gives, even when two people say
// the very same words: here the narrator's pause and the prince's silence are
// one line of text, written once and spoken by both.
TEST(StoryCheck, ScreenplayNamesWhoSaysALineNotWhoFirstSaidIt) {
    static constexpr std::string_view kSilence = "…………";
    std::vector<Rule> rules = sound_story();
    rule_at(rules, 1, Command9) = on(1, Command9).to(3).hide(Command9).show(Command1).say(narration, L0, kSilence);
    rule_at(rules, 3, Command1) = on(3, Command1).to(4).hide(Command1, Command2).show(Command10, Command11)
                                      .say(prince, L0, kSilence).say(mother, L1, kSilence)
                                      .choice("１　行く　　２　行かない");
    const Checked c(std::move(rules));
    std::ostringstream out;
    write_screenplay(out, c.explored);
    const std::string text = out.str();
    for (std::string_view wanted : {"1 続きを読む → 3\n      語り：…………\n",
                                    "3 話す → 4\n      中大兄皇子：…………\n      皇極天皇：…………\n"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted << "\n" << text;
}

// Proofreading misses nothing: every line any rule writes is in the
// screenplay, and the map has a box for every choice and every ending.
TEST(StoryCheck, ScreenplayAndMapCoverTheWholeStory) {
    struct Case {
        const char* name;
        const Script& script;
        std::size_t choices;
    };
    const Checked small(sound_story());
    for (const Case& c : {Case{"small story", small.script, 2}, Case{"the game's story", story(), 6}}) {
        const Exploration explored(c.script);
        std::ostringstream out;
        write_screenplay(out, explored);
        for (const Rule* r : c.script.all())
            for (const Action& a : *r) {
                if ((a.op == Op::Slot || a.op == Op::Text || a.op == Op::Trailer) && !a.text.empty()) {
                    EXPECT_NE(out.str().find(a.text), std::string::npos)
                        << c.name << ", state " << r->state << " " << name(r->button) << ": " << a.text;
                }
            }
        const std::string dot = route_map_dot(explored);
        auto count = [&dot](std::string_view what) {
            std::size_t n = 0;
            for (auto at = dot.find(what); at != std::string::npos; at = dot.find(what, at + 1)) ++n;
            return n;
        };
        EXPECT_EQ(count(" 選択\\n"), c.choices) << c.name;
        EXPECT_EQ(count("shape=doubleoctagon"), 3u) << c.name;
    }
}

}  // namespace
}  // namespace suirei::check
