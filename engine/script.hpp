// The story as the engine runs it: every button's rule list, in strictly
// descending order of tested state, assembled from the stretches of the
// script, and the three narration lines of the opening page.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rule.hpp"

namespace suirei {

class Script {
public:
    using Opening = std::array<std::string_view, 3>;

    Script(std::vector<std::span<const Rule>> stretches, Opening opening);

    // The rule list of one button, highest tested state first.
    std::span<const Rule* const> rules(Button b) const { return lists_[static_cast<std::size_t>(index(b))]; }
    const Opening& opening() const { return opening_; }
    const std::vector<const Rule*>& all() const { return all_; }

    // What is wrong with the assembled lists, one sentence each; empty when
    // every list is strictly descending with no state twice.
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::array<std::vector<const Rule*>, kButtonCount> lists_;
    std::vector<const Rule*> all_;
    Opening opening_;
    std::vector<std::string> problems_;
};

}  // namespace suirei
