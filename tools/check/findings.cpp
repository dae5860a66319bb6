#include "findings.hpp"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "check.hpp"
#include "graph.hpp"

namespace suirei::check {

std::string Finding::line() const {
    std::string out;
    if (state != 0) out = "state " + std::to_string(state);
    if (button) out += (out.empty() ? "" : " ") + std::string(name(*button));
    if (!where.empty()) out += (out.empty() ? "" : " ") + where;
    if (out.empty()) out = "script";
    return out + ": " + what;
}

namespace {

std::string quoted(std::string_view s) {
    std::string out = "「";
    for (char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "」";
}

std::string where_of(const Action& a) {
    switch (a.op) {
    case Op::Slot: return "L" + std::to_string(a.target);
    case Op::Trailer: return "trailer";
    case Op::Text: return "T1";
    default: return {};
    }
}

std::string visible_captions(const Situation& s) {
    std::string out;
    for (Button b : kAllButtons)
        if (s.shows(b)) out += (out.empty() ? "" : ", ") + std::string(caption(b));
    return out.empty() ? "nothing" : out;
}

// A finding about situation s, pointed at the click that first reached it.
Finding about(const Exploration& explored, const Situation& s, Kind kind, std::string where, std::string what) {
    if (s.reached_by == kNoStep) return {kind, s.state(), {}, std::move(where), std::move(what)};
    const Step& click = explored.steps()[s.reached_by];
    return {kind, explored.situations()[click.from].state(), click.button, std::move(where), std::move(what)};
}

std::unordered_set<const Rule*> rules_fired(const Exploration& explored) {
    std::unordered_set<const Rule*> fired;
    for (const Step& step : explored.steps())
        for (const Rule* r : step.fired) fired.insert(r);
    return fired;
}

std::unordered_set<StoryState> states_reached(const Exploration& explored) {
    std::unordered_set<StoryState> states;
    for (const Situation& s : explored.situations()) states.insert(s.state());
    return states;
}

}  // namespace

std::vector<Finding> check_rules(const Script& script) {
    std::vector<Finding> out;
    for (const std::string& problem : script.problems()) out.push_back({Kind::ScriptProblem, 0, {}, {}, problem});

    std::unordered_set<StoryState> tested;
    for (const Rule* r : script.all()) tested.insert(r->state);

    for (const Rule* r : script.all()) {
        const LineLimit limit = line_limit(r->state).value_or(LineLimit{0, 0, kDefaultLineLimit, kDefaultLineLimit});
        for (const Action& a : *r) {
            if (a.op != Op::Slot && a.op != Op::Trailer && a.op != Op::Text) continue;
            auto report = [&](Kind kind, std::string what) {
                out.push_back({kind, r->state, r->button, where_of(a), std::move(what)});
            };
            const int allowed = a.op == Op::Text ? limit.text : limit.slot;
            if (const int length = utf8_length(a.text); length > allowed)
                report(Kind::LineTooLong, std::to_string(length) + " characters, more than the " +
                                              std::to_string(allowed) + " a line may hold: " + quoted(a.text));
            if (has_line_break(a.text)) report(Kind::LineBreak, "line break inside the line " + quoted(a.text));
            if (a.speaker != Speaker::none && a.text.empty())
                report(Kind::EmptyLine, "empty line where " + std::string(speaker_name(a.speaker)) + " should speak");
            if (a.speaker == Speaker::choice && !is_choice_line(a.text))
                report(Kind::ChoiceLine, "not a choice line (１, options apart by two or three ideographic "
                                         "spaces, ２): " + quoted(a.text));
        }
        if (const StoryState next = r->next(); next >= 0 && !tested.contains(next) && !is_end(next))
            out.push_back({Kind::UntestedState, r->state, r->button, {},
                           "moves the story to state " + std::to_string(next) + ", which no rule tests"});
    }
    return out;
}

std::vector<Finding> check_story(const Exploration& explored) {
    const Script& script = explored.script();
    const auto& situations = explored.situations();
    std::vector<Finding> out = check_rules(script);

    // Rules that no click ever fires.
    const auto fired = rules_fired(explored);
    for (const Rule* r : script.all())
        if (!fired.contains(r)) out.push_back({Kind::DeadRule, r->state, r->button, {}, "rule never fires on any path"});

    // Every ending must be reachable.
    const auto reached = states_reached(explored);
    for (StoryState end : kEndStates) {
        if (reached.contains(end)) continue;
        const bool set = std::any_of(script.all().begin(), script.all().end(),
                                     [end](const Rule* r) { return r->next() == end; });
        out.push_back({Kind::EndUnreached, end, {}, {},
                       set ? "end state never reached" : "end state never reached: no rule moves the story there"});
    }

    // Situations from which some ending can still be reached: backwards from
    // every situation at an end state.
    const std::size_t n = situations.size();
    std::vector<std::vector<SituationId>> into(n);
    for (const Step& step : explored.steps()) into[step.to].push_back(step.from);
    std::vector<bool> hopeful(n, false);
    std::vector<SituationId> queue;
    auto hope = [&](SituationId s) {
        if (!hopeful[s]) queue.push_back(s);
        hopeful[s] = true;
    };
    for (SituationId s = 0; s < n; ++s)
        if (is_end(situations[s].state())) hope(s);
    for (std::size_t at = 0; at < queue.size(); ++at)
        for (SituationId from : into[queue[at]]) hope(from);
    if (!hopeful[0])
        out.push_back({Kind::NoWayOut, situations[0].state(), {}, {}, "no end state can be reached from start-up"});
    for (const Step& step : explored.steps())
        if (hopeful[step.from] && !hopeful[step.to])
            out.push_back({Kind::NoWayOut, situations[step.from].state(), step.button, {},
                           "leads to state " + std::to_string(situations[step.to].state()) +
                               ", from which no end state can be reached"});

    std::vector<bool> moves(n, false);  // by situation: some click from it moves the story
    for (const Step& step : explored.steps()) moves[step.from] = moves[step.from] || step.moves();
    for (SituationId id = 0; id < n; ++id) {
        const Situation& s = situations[id];
        // Off the endings, some visible button must move the story.
        if (!is_end(s.state()) && !moves[id])
            out.push_back(about(explored, s, Kind::NoMove, {},
                                "at state " + std::to_string(s.state()) +
                                    " no visible button moves the story (visible: " + visible_captions(s) + ")"));
        // A choice page spells out what "1" and "2" mean on its fifth line.
        if (s.shows(Button::Command10) || s.shows(Button::Command11)) {
            const auto lines = page_lines(s.text);
            const std::string_view options_line = lines.size() > 4 ? lines[4] : std::string_view{};
            if (!is_choice_line(options_line))
                out.push_back(about(explored, s, Kind::ChoiceLine, "L2",
                                    "the choice buttons are shown but the page's options line is not a choice line: " +
                                        quoted(options_line)));
        }
    }

    // Every composed page holds eleven lines: the opening, and the page of
    // every click of Talk or Other speaks that passes its turn.
    auto check_page = [&](const Situation& s, StoryState state, std::optional<Button> button) {
        const std::size_t count = page_lines(s.text).size();
        if (count != static_cast<std::size_t>(kPageLines))
            out.push_back({Kind::PageLines, state, button, {},
                           "the page holds " + std::to_string(count) + " lines instead of " + std::to_string(kPageLines)});
    };
    check_page(situations[0], situations[0].state(), std::nullopt);
    for (const Step& step : explored.steps()) {
        const StoryState from = situations[step.from].state();
        if (is_speaking(step.button) && passes_gate(step.button, from)) check_page(situations[step.to], from, step.button);
    }

    // One line per finding, in the order of the story.
    std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
        const int ba = a.button ? index(*a.button) : -1, bb = b.button ? index(*b.button) : -1;
        return std::pair(a.state, ba) < std::pair(b.state, bb);
    });
    std::set<std::string> seen;
    std::erase_if(out, [&seen](const Finding& f) { return !seen.insert(f.line()).second; });
    return out;
}

Statistics statistics(const Exploration& explored) {
    Statistics st;
    st.situations = explored.situations().size();
    st.clicks = explored.steps().size();
    for (const Situation& s : explored.situations()) st.quit_offered += s.shows(Button::Command12) ? 1 : 0;
    st.rules = explored.script().all().size();
    st.rules_fired = rules_fired(explored).size();
    const auto states = states_reached(explored);
    st.states_reached = states.size();
    for (StoryState end : kEndStates)
        if (states.contains(end)) st.ends_reached.push_back(end);
    return st;
}

}  // namespace suirei::check
