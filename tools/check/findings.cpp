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

// Where a finding about situation s points: the click that first reached it.
void locate(Finding& f, const Exploration& explored, const Situation& s) {
    if (s.parent == kNoSituation) {
        f.state = s.state();
        return;
    }
    f.state = explored.situations()[s.parent].state();
    f.button = s.via;
}

// Whether the click composed its button's page into T1.
bool renders(const Step& step, StoryState from) { return is_speaking(step.button) && passes_gate(step.button, from); }

}  // namespace

std::vector<Finding> check_rules(const Script& script, const Options& options) {
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
        if (const StoryState next = r->next(); next >= 0 && !tested.contains(next) && !options.is_end(next))
            out.push_back({Kind::UntestedState, r->state, r->button, {},
                           "moves the story to state " + std::to_string(next) + ", which no rule tests"});
    }
    return out;
}

std::vector<Finding> check_story(const Exploration& explored, const Options& options) {
    const Script& script = explored.script();
    const auto& situations = explored.situations();
    std::vector<Finding> out = check_rules(script, options);

    // Rules that no click ever fires.
    std::unordered_set<const Rule*> fired;
    for (const Step& step : explored.steps())
        for (const Rule* r : explored.fired(step)) fired.insert(r);
    for (const Rule* r : script.all())
        if (!fired.contains(r)) out.push_back({Kind::DeadRule, r->state, r->button, {}, "rule never fires on any path"});

    // Every ending must be reachable.
    std::unordered_set<StoryState> reached;
    for (const Situation& s : situations) reached.insert(s.state());
    for (StoryState end : options.end_states) {
        if (reached.contains(end)) continue;
        const bool set = std::any_of(script.all().begin(), script.all().end(),
                                     [end](const Rule* r) { return r->next() == end; });
        out.push_back({Kind::EndUnreached, end, {}, {},
                       set ? "end state never reached" : "end state never reached: no rule moves the story there"});
    }

    // Situations from which some ending can still be reached: backwards from
    // every situation at an end state.
    const std::size_t n = situations.size();
    std::vector<std::uint32_t> into_begin(n + 1, 0);
    for (const Step& step : explored.steps()) ++into_begin[step.to + 1];
    for (std::size_t i = 0; i < n; ++i) into_begin[i + 1] += into_begin[i];
    std::vector<SituationId> into(explored.steps().size());
    {
        std::vector<std::uint32_t> fill(into_begin.begin(), into_begin.end() - 1);
        for (const Step& step : explored.steps()) into[fill[step.to]++] = step.from;
    }
    std::vector<char> hopeful(n, 0);
    std::vector<SituationId> queue;
    for (SituationId s = 0; s < n; ++s)
        if (options.is_end(situations[s].state())) {
            hopeful[s] = 1;
            queue.push_back(s);
        }
    for (std::size_t at = 0; at < queue.size(); ++at)
        for (std::uint32_t i = into_begin[queue[at]]; i < into_begin[queue[at] + 1]; ++i)
            if (!hopeful[into[i]]) {
                hopeful[into[i]] = 1;
                queue.push_back(into[i]);
            }
    if (n > 0 && !hopeful[0])
        out.push_back({Kind::NoWayOut, situations[0].state(), {}, {}, "no end state can be reached from start-up"});
    for (const Step& step : explored.steps())
        if (hopeful[step.from] && !hopeful[step.to])
            out.push_back({Kind::NoWayOut, situations[step.from].state(), step.button, {},
                           "leads to state " + std::to_string(situations[step.to].state()) +
                               ", from which no end state can be reached"});

    for (SituationId id = 0; id < n; ++id) {
        const Situation& s = situations[id];
        // Off the endings, some visible button must move the story.
        if (!options.is_end(s.state())) {
            const auto steps = explored.steps_from(id);
            if (std::none_of(steps.begin(), steps.end(), [](const Step& st) { return st.moves(); })) {
                Finding f{Kind::NoMove, 0, {}, {}, {}};
                locate(f, explored, s);
                f.what = "at state " + std::to_string(s.state()) +
                         " no visible button moves the story (visible: " + visible_captions(s) + ")";
                out.push_back(std::move(f));
            }
        }
        // A choice page spells out what "1" and "2" mean on its fifth line.
        if (s.shows(Button::Command10) || s.shows(Button::Command11)) {
            const auto lines = page_lines(explored.text(s));
            const std::string_view options_line = lines.size() > 4 ? lines[4] : std::string_view{};
            if (!is_choice_line(options_line)) {
                Finding f{Kind::ChoiceLine, 0, {}, "L2", {}};
                locate(f, explored, s);
                f.what = "the choice buttons are shown but the page's options line is not a choice line: " +
                         quoted(options_line);
                out.push_back(std::move(f));
            }
        }
    }

    // Every composed page holds eleven lines.
    auto check_page = [&](const Situation& s, Finding where) {
        const std::size_t count = page_lines(explored.text(s)).size();
        if (count == static_cast<std::size_t>(kPageLines)) return;
        where.kind = Kind::PageLines;
        where.what = "the page holds " + std::to_string(count) + " lines instead of " + std::to_string(kPageLines);
        out.push_back(std::move(where));
    };
    if (n > 0) check_page(situations[0], {Kind::PageLines, situations[0].state(), {}, {}, {}});
    for (const Step& step : explored.steps()) {
        const StoryState from = situations[step.from].state();
        if (renders(step, from)) check_page(situations[step.to], {Kind::PageLines, from, step.button, {}, {}});
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

Statistics statistics(const Exploration& explored, const Options& options) {
    Statistics st;
    st.situations = explored.situations().size();
    st.clicks = explored.steps().size();
    st.rules = explored.script().all().size();
    std::unordered_set<const Rule*> fired;
    for (const Step& step : explored.steps())
        for (const Rule* r : explored.fired(step)) fired.insert(r);
    st.rules_fired = fired.size();
    std::unordered_set<StoryState> states;
    for (const Situation& s : explored.situations()) states.insert(s.state());
    st.states_reached = states.size();
    for (StoryState end : options.end_states)
        if (states.contains(end)) st.ends_reached.push_back(end);
    return st;
}

}  // namespace suirei::check
