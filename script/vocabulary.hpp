// What every stretch of the script is written with: the rule vocabulary, the
// compile-time checks, the stock lines, and the names of buttons, slots and
// speakers without their qualifiers.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "check.hpp"
#include "lines.hpp"
#include "rule.hpp"

namespace suirei::script {

using namespace suirei;
using enum Button;
using enum Speaker;

using Lines2 = std::array<std::string_view, 2>;
using Lines3 = std::array<std::string_view, 3>;
using Lines4 = std::array<std::string_view, 4>;
using Lines5 = std::array<std::string_view, 5>;

}  // namespace suirei::script
