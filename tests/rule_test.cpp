// The pieces of the rule vocabulary that the compile-time checks rest on.
#include <gtest/gtest.h>

#include "check.hpp"

namespace suirei {
namespace {

using enum Button;
using enum Speaker;

TEST(ChoiceLine, AcceptsOnlyTheStoryForm) {
    struct Case {
        const char* line;
        bool ok;
    };
    const Case cases[] = {
        {"１　行く　　　２　行かない", true},
        {"１　出席する　　２　断る", true},
        {"１　子麻呂を斬る　　２　自分で入鹿に斬りつける", true},
        {"1　行く　　　２　行かない", false},   // half-width digit
        {"１　行く　２　行かない", false},      // one space between the options
        {"１　行く　　　　２　行かない", false},  // four
        {"１　行く  ２　行かない", false},      // ASCII spaces
        {"１　　　２　行かない", false},        // no first option
        {"１　行く　　　２　", false},          // no second option
        {"１行く　　　２　行かない", false},    // no space after the digit
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(is_choice_line(c.line), c.ok) << c.line;
}

TEST(LineLength, CountsCharactersNotBytes) {
    EXPECT_EQ(utf8_length(""), 0);
    EXPECT_EQ(utf8_length("abc"), 3);
    EXPECT_EQ(utf8_length("あまり外出ばかりしていてはいけませんよ。"), 20);
    EXPECT_EQ(utf8_length("入鹿どのはいようだな。もっとも、今は入鹿どのに会うべきではないが。"), 33);
}

TEST(SharedScene, ShiftMovesTestedAndSetStatesButNothingElse) {
    static constexpr std::array scene = {
        on(182, Command4).to(181).show(Command3).hide(Command1).picture("kou.bmp").text(mother, "x"),
        on(183, Command1).to(184).say(prince, L0, "y").clear(L1),
    };
    static constexpr auto moved = shifted(scene, 158);
    EXPECT_EQ(moved[0].state, 340);
    EXPECT_EQ(moved[0].next(), 339);
    EXPECT_EQ(moved[1].state, 341);
    EXPECT_EQ(moved[1].next(), 342);
    for (std::size_t i = 0; i < scene.size(); ++i) {
        ASSERT_EQ(moved[i].count, scene[i].count);
        for (std::size_t k = 0; k < scene[i].count; ++k)
            if (scene[i].actions[k].op != Op::SetState) {
                EXPECT_EQ(moved[i].actions[k].text.data(), scene[i].actions[k].text.data()) << "one text, not a copy";
                EXPECT_EQ(moved[i].actions[k].target, scene[i].actions[k].target);
            }
    }
    static_assert(check_stretch(moved, {{339, 345}}));
}

}  // namespace
}  // namespace suirei
