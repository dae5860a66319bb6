#include "exploration.hpp"

#include <array>
#include <deque>
#include <string>
#include <unordered_map>

#include "memory_screen.hpp"

namespace suirei::check {

std::vector<const Rule*> fired_rules(const Script& script, StoryState state, Button b) {
    MemoryScreen screen;
    Story story(screen, script);
    story.restore({state, {}, {}});
    std::vector<const Rule*> fired;
    story.click(b, &fired);
    return fired;
}

namespace {

// Page lines are views into the script's own constant data, so where a line
// lives and how long it is identifies it; every empty line is the same line.
struct LineId {
    const char* data = nullptr;
    std::size_t size = 0;
    friend bool operator==(const LineId&, const LineId&) = default;
};

LineId line_id(std::string_view s) { return s.empty() ? LineId{} : LineId{s.data(), s.size()}; }

constexpr std::size_t kLinesPerPage = kSlotCount + 1;
constexpr std::size_t kKeyLines = 3 * kLinesPerPage;

struct Key {
    StoryState state = 0;
    std::array<bool, kButtonCount> visible{};
    std::uint32_t text = 0;
    std::uint32_t picture = 0;
    std::array<LineId, kKeyLines> lines{};
    friend bool operator==(const Key&, const Key&) = default;
};

Key key_of(const Situation& s) {
    Key k{s.memory.state, s.visible, s.text, s.picture, {}};
    std::size_t i = 0;
    for (const Page& page : s.memory.pages) {
        for (std::string_view line : page.slots) k.lines[i++] = line_id(line);
        k.lines[i++] = line_id(page.trailer);
    }
    return k;
}

struct KeyHash {
    std::size_t operator()(const Key& k) const {
        std::uint64_t h = 0xcbf29ce484222325ull;
        auto mix = [&h](std::uint64_t v) {
            h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        };
        mix(static_cast<std::uint64_t>(static_cast<std::uint16_t>(k.state)) | (std::uint64_t{k.picture} << 32));
        mix(k.text);
        for (bool v : k.visible) mix(v);
        for (const LineId& l : k.lines) {
            mix(reinterpret_cast<std::uintptr_t>(l.data));
            mix(l.size);
        }
        return static_cast<std::size_t>(h);
    }
};

// Texts seen in T1 (and picture names), each stored once and numbered.
class Interner {
public:
    explicit Interner(std::deque<std::string>& store) : store_(store) {}
    std::uint32_t id(std::string_view s) {
        if (auto it = index_.find(s); it != index_.end()) return it->second;
        const auto n = static_cast<std::uint32_t>(store_.size());
        index_.emplace(store_.emplace_back(s), n);  // a deque's elements stay where they are
        return n;
    }

private:
    std::deque<std::string>& store_;
    std::unordered_map<std::string_view, std::uint32_t> index_;
};

}  // namespace

Exploration::Exploration(const Script& script) : script_(&script) {
    Interner texts(texts_);
    Interner pictures(pictures_);
    pictures.id("");  // id 0: nothing loaded yet

    MemoryScreen screen;
    Story story(screen, script);

    auto capture = [&]() {
        Situation s;
        s.memory = story.memory();
        s.visible = screen.visibility();
        s.text = texts.id(screen.text());
        s.picture = pictures.id(screen.picture().value_or(""));
        return s;
    };

    std::unordered_map<Key, SituationId, KeyHash> known;
    auto admit = [&](Situation s) {
        auto [it, fresh] = known.emplace(key_of(s), static_cast<SituationId>(situations_.size()));
        if (fresh) situations_.push_back(std::move(s));
        return it->second;
    };

    story.Form_Load();
    screen.takeLoads();
    admit(capture());

    // Breadth first: situations_ doubles as the queue.
    for (SituationId at = 0; at < situations_.size(); ++at) {
        step_begin_.push_back(static_cast<std::uint32_t>(steps_.size()));
        for (Button b : kAllButtons) {
            if (!situations_[at].shows(b)) continue;
            if (b == Button::Command12) {
                ++quit_offered_;
                continue;
            }
            const Situation& here = situations_[at];
            story.restore(here.memory);
            screen.setVisibility(here.visible);
            screen.setText(texts_[here.text]);
            screen.setPicture(here.picture ? std::optional<std::string>(pictures_[here.picture]) : std::nullopt);

            const auto first_fired = static_cast<std::uint32_t>(fired_.size());
            story.click(b, &fired_);
            screen.takeLoads();
            screen.takeFrames();

            Situation next = capture();
            next.reached_by = static_cast<std::uint32_t>(steps_.size());
            const auto fired_count = static_cast<std::uint32_t>(fired_.size()) - first_fired;
            steps_.push_back({at, admit(std::move(next)), b, first_fired, fired_count});
        }
    }
    step_begin_.push_back(static_cast<std::uint32_t>(steps_.size()));
}

std::span<const Step> Exploration::steps_from(SituationId s) const {
    return std::span<const Step>(steps_).subspan(step_begin_[s], step_begin_[s + 1] - step_begin_[s]);
}

}  // namespace suirei::check
