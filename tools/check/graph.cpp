#include "graph.hpp"

#include <algorithm>
#include <string>

namespace suirei::check {

StoryGraph::StoryGraph(const Exploration& explored) {
    const auto& situations = explored.situations();
    for (const Situation& s : situations)
        if (first_.emplace(s.state(), &s).second) states_.push_back(s.state());

    for (const Step& step : explored.steps()) {
        if (!step.moves()) continue;
        const StoryState from = situations[step.from].state(), to = situations[step.to].state();
        auto& list = out_[from];
        const bool known = std::any_of(list.begin(), list.end(), [&](const Transition& t) {
            return t.to == to && t.button == step.button;
        });
        if (known) continue;
        list.push_back({from, to, step.button, &step});
        if (to != from) {
            auto& src = sources_[to];
            if (std::find(src.begin(), src.end(), from) == src.end()) src.push_back(from);
        }
    }
}

std::span<const Transition> StoryGraph::out(StoryState s) const {
    const auto it = out_.find(s);
    return it == out_.end() ? std::span<const Transition>{} : std::span<const Transition>(it->second);
}

std::vector<StoryState> StoryGraph::sources(StoryState s) const {
    const auto it = sources_.find(s);
    return it == sources_.end() ? std::vector<StoryState>{} : it->second;
}

std::string_view place_of_picture(std::string_view file) {
    struct Entry {
        std::string_view file, place;
    };
    static constexpr Entry kPlaces[] = {
        {"kou.bmp", "板葺宮"},       {"hou.bmp", "法興寺"},       {"houka.bmp", "法興寺"},
        {"houke.bmp", "法興寺"},     {"shou.bmp", "南淵請安宅"},  {"sh.bmp", "南淵請安宅"},
        {"ama.bmp", "甘橿の丘"},     {"amai.bmp", "甘橿の丘"},    {"karu.bmp", "軽皇子宅"},
        {"ka.bmp", "軽皇子宅"},      {"dai.bmp", "板葺宮 大極殿"}, {"iru.bmp", "板葺宮 大極殿"},
        {"an1.bmp", "板葺宮 大極殿"}, {"an2.bmp", "板葺宮 大極殿"}, {"an3.bmp", "板葺宮 大極殿"},
        {"an4.bmp", "板葺宮 大極殿"},
    };
    for (const Entry& e : kPlaces)
        if (e.file == file) return e.place;
    return {};
}

std::vector<std::string_view> page_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::pair<std::string, std::string> options_of(std::string_view line) {
    constexpr std::string_view one = "１　", two = "２　", gap = "　";
    if (!line.starts_with(one)) return {};
    line.remove_prefix(one.size());
    const auto at = line.find(two);
    if (at == std::string_view::npos) return {};
    std::string_view first = line.substr(0, at), second = line.substr(at + two.size());
    while (first.ends_with(gap)) first.remove_suffix(gap.size());
    return {std::string(first), std::string(second)};
}

std::string state_ranges(std::vector<StoryState> states) {
    std::sort(states.begin(), states.end());
    states.erase(std::unique(states.begin(), states.end()), states.end());
    std::string out;
    for (std::size_t i = 0; i < states.size();) {
        std::size_t j = i;
        while (j + 1 < states.size() && states[j + 1] == states[j] + 1) ++j;
        if (!out.empty()) out += ", ";
        out += std::to_string(states[i]);
        if (j > i) out += "–" + std::to_string(states[j]);
        i = j + 1;
    }
    return out;
}

}  // namespace suirei::check
