#include "check.hpp"

#include <cstdlib>

namespace suirei {

// The compile-time checks only ever "call" these while evaluating a constant
// expression, where the call itself is the error. They are never reached at
// run time.
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
