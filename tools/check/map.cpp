#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "findings.hpp"
#include "graph.hpp"
#include "route_map.hpp"

namespace suirei::check {

namespace {

enum class Scene { dialogue, narration, journey, choice, end };

constexpr std::string_view kFont = "Noto Sans CJK JP,IPAGothic,sans-serif";
constexpr std::string_view kEndColours[] = {"#a8dba8", "#f6c28b", "#d7b4e6"};  // by kEndStates

std::string escape(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

class MapBuilder {
public:
    explicit MapBuilder(const Exploration& explored) : graph_(explored) {
        for (StoryState s : graph_.states()) scene_[s] = scene_of(s);
        for (StoryState s : graph_.states()) group_[s] = s;
        for (StoryState s : graph_.states()) join_with_next(s);
    }

    std::string dot() {
        std::ostringstream out;
        out << "digraph suirei {\n"
            << "  graph [rankdir=TB, nodesep=0.25, ranksep=0.3, fontname=\"" << kFont << "\", fontsize=14,"
            << " labelloc=t, label=\"翠嶺秘抄 — route map\\n"
            << "boxes: dialogue runs (states, speakers, place) · grey: narration · ovals: Move and its places\\n"
            << "gold: choices, answers in red · dashed: wrong places · octagons: endings\"];\n"
            << "  node [fontname=\"" << kFont << "\", fontsize=11, shape=box, style=\"rounded,filled\","
            << " fillcolor=\"#eef3fb\", color=\"#5b7aa8\", margin=\"0.12,0.05\"];\n"
            << "  edge [fontname=\"" << kFont << "\", fontsize=10, color=\"#555555\", arrowsize=0.7];\n";
        out << "  start [shape=plaintext, style=\"\", label=\"起動\"];\n";

        std::set<StoryState> drawn;
        for (StoryState s : graph_.states()) {
            const StoryState g = group_of(s);
            if (drawn.insert(g).second) node(out, g);
            if (has_entry(s)) out << "  e" << s << " [shape=ellipse, style=\"\", label=\"" << s << " 移動\"];\n"
                                  << "  e" << s << " -> g" << g << " [label=\"" << caption(Button::Command3) << "\"];\n";
        }
        out << "  start -> " << target(graph_.states().front(), 0) << ";\n";

        // Arrows between boxes, clicks of the same kind merged into one: each
        // arrow's ends, its look (plain, a wrong place, an answer to a choice)
        // and its labels, in order of first use.
        struct Arrow {
            std::string ends, look;
            std::vector<std::string> labels;
        };
        std::vector<Arrow> arrows;
        for (StoryState s : graph_.states())
            for (const Transition& t : graph_.out(s)) {
                if (t.to == t.from) continue;  // Move into the hall: drawn as the entry oval
                const StoryState gs = group_of(s), gt = group_of(t.to);
                const bool wrong_place = is_place(t.button) && gt == gs;
                if (gs == gt && !wrong_place) continue;
                const std::string ends = "g" + std::to_string(gs) + " -> " + target(t.to, s);
                std::string look;
                if (wrong_place) look = ", style=dashed, color=\"#aaaaaa\", fontcolor=\"#888888\"";
                if (is_choice(t.button)) look = ", penwidth=2.2, color=\"#c0392b\", fontcolor=\"#c0392b\"";
                std::string label(caption(t.button));
                if (is_choice(t.button)) {
                    const auto [one, two] = options_of(graph_.first_at(s).memory.pages[0].slots[L2]);
                    const std::string& option = t.button == Button::Command10 ? one : two;
                    if (!option.empty()) label += " " + option;
                }
                auto it = std::find_if(arrows.begin(), arrows.end(),
                                       [&](const Arrow& a) { return a.ends == ends && a.look == look; });
                if (it == arrows.end()) it = arrows.insert(arrows.end(), {ends, look, {}});
                if (std::find(it->labels.begin(), it->labels.end(), label) == it->labels.end())
                    it->labels.push_back(label);
            }
        for (const Arrow& a : arrows) {
            std::string label;
            for (const std::string& l : a.labels) label += (label.empty() ? "" : "・") + l;
            out << "  " << a.ends << " [label=\"" << escape(label) << "\"" << a.look << "];\n";
        }
        out << "}\n";
        return out.str();
    }

private:
    Scene scene_of(StoryState s) const {
        if (is_end(s)) return Scene::end;
        bool journey = false, narration = false, speaking = false;
        for (const Transition& t : graph_.out(s)) {
            if (t.to == t.from) continue;
            if (is_choice(t.button)) return Scene::choice;
            journey = journey || t.button == Button::Command3 || is_place(t.button);
            narration = narration || t.button == Button::Command9;
            speaking = speaking || t.button == Button::Command1 || t.button == Button::Command2;
        }
        if (journey) return Scene::journey;
        if (narration && !speaking) return Scene::narration;
        return Scene::dialogue;
    }

    // A Move at a state that it leaves unchanged (the way into the hall).
    bool has_entry(StoryState s) const {
        const auto out = graph_.out(s);
        return std::any_of(out.begin(), out.end(), [s](const Transition& t) { return t.to == s && t.button == Button::Command3; });
    }

    std::vector<StoryState> targets(StoryState s) const {
        std::vector<StoryState> out;
        for (const Transition& t : graph_.out(s))
            if (t.to != s && std::find(out.begin(), out.end(), t.to) == out.end()) out.push_back(t.to);
        return out;
    }

    // Runs of one kind become one box: a dialogue or a narration that goes
    // straight on, or a Move and the place state it opens.
    void join_with_next(StoryState s) {
        const auto next = targets(s);
        if (next.size() != 1) return;
        const StoryState t = next.front();
        if (graph_.sources(t) != std::vector<StoryState>{s} || has_entry(t)) return;
        const Scene a = scene_.at(s), b = scene_.at(t);
        const bool run = a == b && (a == Scene::dialogue || a == Scene::narration);
        bool move_to_places = a == Scene::journey && b == Scene::journey;
        for (const Transition& tr : graph_.out(s)) move_to_places = move_to_places && tr.button == Button::Command3;
        for (const Transition& tr : graph_.out(t)) move_to_places = move_to_places && is_place(tr.button);
        if (run || move_to_places) group_[t] = group_of(s);
    }

    StoryState group_of(StoryState s) const {
        while (group_.at(s) != s) s = group_.at(s);
        return s;
    }

    // Where an arrow into state s lands: its entry oval, if it has one, or
    // its box (an ending is a box of its own).
    std::string target(StoryState s, StoryState from) const {
        if (has_entry(s) && from != s) return "e" + std::to_string(s);
        return "g" + std::to_string(group_of(s));
    }

    void node(std::ostringstream& out, StoryState g) const {
        std::vector<StoryState> members;
        for (StoryState s : graph_.states())
            if (group_of(s) == g) members.push_back(s);
        const Scene scene = scene_.at(g);
        const Situation& first = graph_.first_at(g);
        out << "  g" << g << " [";
        switch (scene) {
        case Scene::end: {
            const auto lines = page_lines(first.text);
            std::string_view marker;
            for (std::string_view l : lines)
                if (!l.empty()) marker = l;
            const auto at = std::find(kEndStates.begin(), kEndStates.end(), g) - kEndStates.begin();
            out << "shape=doubleoctagon, style=filled, color=\"#444444\", fillcolor=\"" << kEndColours[at]
                << "\", label=\"結末 " << g << "\\n" << escape(marker) << "\"";
            break;
        }
        case Scene::choice: {
            const auto& talk = first.memory.pages[0];
            out << "style=\"rounded,filled,bold\", fillcolor=\"#ffe08a\", color=\"#b7950b\", label=\""
                << state_ranges(members) << " 選択\\n" << escape(talk.slots[L2]) << "\"";
            break;
        }
        case Scene::journey:
            out << "shape=ellipse, style=\"\", label=\"" << state_ranges(members) << " 移動\"";
            break;
        case Scene::narration:
        case Scene::dialogue: {
            std::vector<std::string_view> speakers;
            for (StoryState s : members)
                for (const Transition& t : graph_.out(s))
                    for (const Rule* r : t.step->fired)
                        for (const Action& a : *r)
                            if (a.speaker != Speaker::none && a.speaker != Speaker::choice &&
                                std::find(speakers.begin(), speakers.end(), speaker_name(a.speaker)) == speakers.end())
                                speakers.push_back(speaker_name(a.speaker));
            std::string who;
            for (std::string_view w : speakers) who += (who.empty() ? "" : "・") + std::string(w);
            const std::string_view place = place_of_picture(first.picture);
            if (scene == Scene::narration) out << "fillcolor=\"#eeeeee\", color=\"#999999\", ";
            out << "label=\"" << state_ranges(members) << " " << escape(who);
            if (!place.empty()) out << "\\n" << escape(place);
            out << "\"";
            break;
        }
        }
        out << "];\n";
    }

    StoryGraph graph_;
    std::map<StoryState, Scene> scene_;
    std::map<StoryState, StoryState> group_;
};

}  // namespace

std::string route_map_dot(const Exploration& explored) {
    return MapBuilder(explored).dot();
}

}  // namespace suirei::check
