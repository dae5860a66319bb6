#include "screenplay.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

#include "findings.hpp"
#include "graph.hpp"

namespace suirei::check {

namespace {

std::size_t page_index(Button b) { return b == Button::Command1 ? 0 : b == Button::Command2 ? 1 : 2; }

class Writer {
public:
    Writer(std::ostream& out, const Exploration& explored) : out_(out), explored_(explored), graph_(explored) {
        // Who wrote each line of each page, situation by situation: the rule
        // that wrote a slot names its speaker, and a slot no click touched
        // keeps the speaker of the situation it was first reached from. Two
        // people may say the very same words (the prince's silence and his
        // mother's), so the text alone cannot tell who speaks.
        const auto& all = explored.situations();
        speakers_.resize(all.size());
        for (SituationId s = 0; s < all.size(); ++s) {
            if (all[s].reached_by == kNoStep) continue;
            const Step& step = explored.steps()[all[s].reached_by];
            speakers_[s] = speakers_[step.from];
            write_speakers(speakers_[s], step);
        }
    }

    void write() {
        out_ << "Lines marked with ｜ stay on the page from an earlier click; the others are written by the click.\n";
        const Situation& start = explored_.situations().front();
        out_ << "\n== start-up ==\n";
        PageSpeakers opening;
        opening.fill(Speaker::narration);
        page(start.memory.opening, opening, {0, 1, 2, 3, 4, 5});
        picture(start.picture);

        for (StoryState end : kEndStates) {
            out_ << "\n== route to the ending at " << end << " ==\n";
            const auto path = route(start.state(), end);
            if (path.empty()) {
                out_ << "   (no route reaches state " << end << ")\n";
                continue;
            }
            const Transition* skipped = nullptr;  // the first of a run already printed
            for (std::size_t i = 0; i < path.size(); ++i) {
                const Transition* t = path[i];
                if (printed_.contains(t)) {
                    if (!skipped) skipped = t;
                    if (i + 1 < path.size() && printed_.contains(path[i + 1])) continue;
                    out_ << "   … as above, from state " << skipped->from << " to " << t->to << "\n";
                    skipped = nullptr;
                    continue;
                }
                click(*t);
            }
            out_ << "   ── end " << end << " ──\n";
        }

        bool header = false;
        for (StoryState s : graph_.states())
            for (bool wrong : {false, true})  // the wrong places of a state last
                for (const Transition& t : graph_.out(s)) {
                    if (printed_.contains(&t) || wrong_place(t) != wrong) continue;
                    if (!header) out_ << "\n== branches no route above takes ==\n";
                    header = true;
                    out_ << "\n-- at state " << s << " --\n";
                    for (const Transition* at = &t; at;) {
                        click(*at);
                        // Forward first; the wrong places of a state come after.
                        const Transition* next = nullptr;
                        for (const Transition& n : graph_.out(at->to))
                            if (!printed_.contains(&n) && n.to != n.from &&
                                (!next || (wrong_place(*next) && !wrong_place(n))))
                                next = &n;
                        if (!next && at->to != at->from) out_ << "   … goes on at state " << at->to << " as above\n";
                        at = next;
                    }
                }
    }

private:
    using PageSpeakers = std::array<Speaker, kSlotCount + 1>;  // the slots, then the trailer
    using SlotSpeakers = std::array<PageSpeakers, 3>;           // Talk, Other speaks, Read on

    // The speakers of the slots a click writes, over those of the page before;
    // the slots it writes (the trailer as kSlotCount).
    std::set<int> write_speakers(SlotSpeakers& speakers, const Step& step) const {
        std::set<int> written;
        if (!is_speaking(step.button)) return written;
        PageSpeakers& p = speakers[page_index(step.button)];
        for (const Rule* r : step.fired)
            for (const Action& a : *r)
                if (a.op == Op::Slot || a.op == Op::Trailer) {
                    const int slot = a.op == Op::Slot ? a.target : kSlotCount;
                    p[static_cast<std::size_t>(slot)] = a.speaker;
                    written.insert(slot);
                }
        return written;
    }

    // A place that sends the prince back to the Move he came from.
    static bool wrong_place(const Transition& t) { return is_place(t.button) && t.to < t.from; }

    // The shortest run of clicks from one state to another.
    std::vector<const Transition*> route(StoryState from, StoryState to) const {
        std::map<StoryState, const Transition*> via{{from, nullptr}};
        std::vector<StoryState> queue{from};
        for (std::size_t i = 0; i < queue.size() && !via.contains(to); ++i)
            for (const Transition& t : graph_.out(queue[i]))
                if (via.emplace(t.to, &t).second) queue.push_back(t.to);
        std::vector<const Transition*> path;  // empty when `to` was never reached
        for (StoryState s = to; via.contains(s) && via.at(s); s = via.at(s)->from) path.push_back(via.at(s));
        std::reverse(path.begin(), path.end());
        return path;
    }

    void click(const Transition& t) {
        printed_.insert(&t);
        out_ << "\n" << t.from << " " << caption(t.button);
        const Situation& before = explored_.situations()[t.step->from];
        const Situation& after = explored_.situations()[t.step->to];
        if (is_choice(t.button)) {
            // The option the answer stands for, from the choice page's line.
            const auto [one, two] = options_of(before.memory.pages[0].slots[L2]);
            if (!one.empty()) out_ << "（" << (t.button == Button::Command10 ? one : two) << "）";
        }
        out_ << " → " << t.to << "\n";
        const auto& rules = t.step->fired;
        if (is_speaking(t.button)) {
            // The speakers on the page before this click, then this click's own.
            SlotSpeakers speakers = speakers_[t.step->from];
            const std::set<int> written = write_speakers(speakers, *t.step);
            page(after.memory.pages[page_index(t.button)], speakers[page_index(t.button)], written);
        } else {
            // Every line the click writes into T1, also one it clears again
            // before the click is over (the battle cry during the strike).
            bool wrote = false;
            for (const Rule* r : rules)
                for (const Action& a : *r)
                    if (a.op == Op::Text && !a.text.empty()) {
                        line(a.speaker, a.text, true);
                        wrote = true;
                    }
            if (const std::string_view text = after.text; !wrote && !text.empty())
                line(Speaker::none, text, true);  // the Move prompt
        }
        // The frames of the strike, each once, and the picture the click leaves.
        std::string frames;
        std::string_view last, loaded;
        for (const Rule* r : rules)
            for (const Action& a : *r) {
                if (a.op == Op::Picture) loaded = a.text;
                if (a.op != Op::Frame || a.text == last) continue;
                frames += " " + std::string(a.text);
                last = a.text;
            }
        if (!frames.empty()) out_ << "      [frames" << frames << "]\n";
        picture(loaded);
    }

    void page(const Page& p, const PageSpeakers& speakers, const std::set<int>& written) {
        for (int i = 0; i <= kSlotCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const std::string_view text = i < kSlotCount ? p.slots[at] : p.trailer;
            if (!text.empty()) line(speakers[at], text, written.contains(i));
        }
    }

    void line(Speaker who, std::string_view text, bool written) {
        out_ << "    " << (written ? "  " : "｜");
        if (who != Speaker::none) out_ << speaker_name(who) << "：";
        out_ << text << "\n";
    }

    void picture(std::string_view file) {
        if (!file.empty()) out_ << "      [picture " << file << "]\n";
    }

    std::ostream& out_;
    const Exploration& explored_;
    StoryGraph graph_;
    std::vector<SlotSpeakers> speakers_;  // by situation
    std::set<const Transition*> printed_;
};

}  // namespace

void write_screenplay(std::ostream& out, const Exploration& explored) {
    Writer(out, explored).write();
}

}  // namespace suirei::check
