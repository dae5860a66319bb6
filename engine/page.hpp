// A page buffer: five line slots and a trailer, owned by one speaking button
// (or by start-up), composed into T1 as eleven lines, the texts one blank line
// apart.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "rule.hpp"

namespace suirei {

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr int kPageLines = 11;

struct Page {
    std::array<std::string_view, kSlotCount> slots{};
    std::string_view trailer{};

    friend bool operator==(const Page&, const Page&) = default;
};

// L0, CR LF, CR LF, L1, ..., L4, CR LF, CR LF, trailer: always ten line
// breaks, whatever the slots hold.
std::string compose(const Page& page);

// The page as a screen reader says it: its lines without the blank ones that
// part the slots, one LF apart.
std::string spoken(std::string_view text);

}  // namespace suirei
