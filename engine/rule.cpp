#include "check.hpp"
#include "rule.hpp"

#include <cstdlib>

namespace suirei {

std::string_view speaker_name(Speaker s) {
    switch (s) {
    case Speaker::none: return "";
    case Speaker::narration: return "語り";
    case Speaker::prince: return "中大兄皇子";
    case Speaker::mother: return "皇極天皇";
    case Speaker::ball_player: return "蹴鞠の者";
    case Speaker::kamatari: return "中臣鎌足";
    case Speaker::shoan: return "南淵請安";
    case Speaker::karu: return "軽皇子";
    case Speaker::iruka: return "蘇我入鹿";
    case Speaker::ishikawamaro: return "蘇我倉山田石川麻呂";
    case Speaker::komaro: return "佐伯子麻呂";
    case Speaker::choice: return "選択";
    }
    return "";
}

// The compile-time checks only ever "call" these while evaluating a constant
// expression, where the call itself is the error. They are never reached at
// run time.
void Rule::rule_has_too_many_actions() { std::abort(); }
void rule_state_outside_its_stretch() { std::abort(); }
void same_state_twice_for_one_button() { std::abort(); }
void slot_write_on_direct_text_button() { std::abort(); }
void direct_text_on_speaking_button() { std::abort(); }
void line_too_long() { std::abort(); }
void line_break_inside_a_line() { std::abort(); }
void empty_spoken_line() { std::abort(); }
void malformed_choice_line() { std::abort(); }
void unknown_picture_file() { std::abort(); }
void rule_on_the_quit_button() { std::abort(); }
void rule_can_never_pass_its_gate() { std::abort(); }

}  // namespace suirei
