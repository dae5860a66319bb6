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

// Joins scenes (arrays of rules, or of anything else) into one table, in the
// order given: how a stretch puts its own rules and a replayed scene together.
//
//   constexpr auto kTable = concat(kOwnRules, shifted(kSharedScene, 154), kMoreRules);
template <class T, std::size_t... Ns>
constexpr std::array<T, (Ns + ... + 0)> concat(const std::array<T, Ns>&... parts) {
    std::array<T, (Ns + ... + 0)> out{};
    std::size_t at = 0;
    ((
         [&] {
             for (const T& item : parts) out[at++] = item;
         }()),
     ...);
    return out;
}

}  // namespace suirei::script
