#include "script.hpp"

#include <algorithm>
#include <string>

namespace suirei {

Script::Script(std::vector<std::span<const Rule>> stretches, Opening opening) : opening_(opening) {
    for (std::span<const Rule> stretch : stretches)
        for (const Rule& rule : stretch) {
            all_.push_back(&rule);
            lists_[static_cast<std::size_t>(index(rule.button))].push_back(&rule);
        }

    for (Button b : kAllButtons) {
        auto& list = lists_[static_cast<std::size_t>(index(b))];
        std::stable_sort(list.begin(), list.end(), [](const Rule* x, const Rule* y) { return x->state > y->state; });
        for (std::size_t i = 1; i < list.size(); ++i)
            if (list[i]->state == list[i - 1]->state)
                problems_.push_back(std::string(name(b)) + " has two rules for state " +
                                    std::to_string(list[i]->state));
        if (b == Button::Command12 && !list.empty())
            problems_.push_back("Command12 (終了) ends the program and can hold no rule");
    }
}

}  // namespace suirei
