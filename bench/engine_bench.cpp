// How long the story engine takes for one click and the page it writes, and
// for a whole game: the real script on a memory screen, clicked along the
// main route (tests/routes/main.txt) the way a player clicks it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "memory_screen.hpp"
#include "story.hpp"
#include "stretches.hpp"

namespace {

using suirei::Button;

// The main route's clicks, one button a line; blank lines and # comments are
// skipped, as the play driver skips them.
const std::vector<Button>& mainRoute() {
    static const std::vector<Button> clicks = [] {
        std::ifstream in(SUIREI_MAIN_ROUTE);
        if (!in) throw std::runtime_error("cannot read " SUIREI_MAIN_ROUTE);
        std::vector<Button> out;
        std::string line;
        while (std::getline(in, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (line.empty() || line.front() == '#') continue;
            const auto b = suirei::find_button(line);
            if (!b) throw std::runtime_error("no button called " + line);
            out.push_back(*b);
        }
        return out;
    }();
    return clicks;
}

// The game at some point of the main route, to be put back there again and
// again: the engine's memory and which buttons show.
struct Snapshot {
    suirei::StoryMemory memory;
    std::array<bool, suirei::kButtonCount> visibility;
};

// The real script on a memory screen, after start-up.
struct Game {
    suirei::MemoryScreen screen;
    suirei::Story story{screen, suirei::story()};

    Game() { story.Form_Load(); }

    // Clicks the way a player can, on visible buttons only.
    bool click(Button b) {
        if (!screen.isVisible(b)) return false;
        story.click(b);
        return true;
    }
    Snapshot snapshot() const { return {story.memory(), screen.visibility()}; }
    void restore(const Snapshot& s) {
        story.restore(s.memory);
        screen.setVisibility(s.visibility);
        screen.takeLoads();
    }
};

// The longest stretch of the main route made only of the given buttons:
// where it begins and how long it is.
std::pair<std::size_t, std::size_t> longestRun(std::initializer_list<Button> buttons) {
    const auto& route = mainRoute();
    std::size_t best = 0, bestLength = 0;
    for (std::size_t i = 0; i < route.size();) {
        std::size_t j = i;
        while (j < route.size() && std::find(buttons.begin(), buttons.end(), route[j]) != buttons.end()) ++j;
        if (j - i > bestLength) best = i, bestLength = j - i;
        i = std::max(j, i + 1);
    }
    return {best, bestLength};
}

// Reports the time of one click of the `count` each iteration makes.
void countClicks(benchmark::State& state, std::size_t count) {
    state.counters["clicks"] = static_cast<double>(count);
    state.counters["per_click"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

// Replays the route's clicks [from, from + count) over and over, from the
// same point each time; reports the time of one click.
void replay(benchmark::State& state, std::size_t from, std::size_t count) {
    const auto& route = mainRoute();
    Game game;
    for (std::size_t i = 0; i < from; ++i)
        if (!game.click(route[i])) return state.SkipWithError("the main route clicks a hidden button");
    const Snapshot start = game.snapshot();
    for (auto _ : state) {
        game.restore(start);
        for (std::size_t i = from; i < from + count; ++i) game.click(route[i]);
        benchmark::DoNotOptimize(game.screen.text().data());
    }
    countClicks(state, count);
}

// Talk and Other speaks in turn through the longest dialogue of the route.
void DialogueClick(benchmark::State& state) {
    const auto [from, count] = longestRun({Button::Command1, Button::Command2});
    replay(state, from, count);
}
BENCHMARK(DialogueClick);

// Read on through the longest narration of the route.
void ReadOnClick(benchmark::State& state) {
    const auto [from, count] = longestRun({Button::Command9});
    replay(state, from, count);
}
BENCHMARK(ReadOnClick);

// Move, then the first place the route travels to: the prompt, the new
// scene picture and its first page.
void MoveAndPlaceClick(benchmark::State& state) {
    const auto& route = mainRoute();
    const auto move = std::find(route.begin(), route.end(), Button::Command3);
    replay(state, static_cast<std::size_t>(move - route.begin()), 2);
}
BENCHMARK(MoveAndPlaceClick);

// Start-up alone: the opening picture and page, Read on shown.
void StartUp(benchmark::State& state) {
    for (auto _ : state) {
        Game game;
        benchmark::DoNotOptimize(game.screen.text().data());
    }
}
BENCHMARK(StartUp);

// A whole game: start-up and every click of the main route to the end page.
void MainRoutePlaythrough(benchmark::State& state) {
    const auto& route = mainRoute();
    suirei::StoryState endState = 0;
    for (auto _ : state) {
        Game game;
        for (Button b : route)
            if (!game.click(b)) return state.SkipWithError("the main route clicks a hidden button");
        endState = game.story.state();
        benchmark::DoNotOptimize(game.screen.text().data());
    }
    state.counters["end_state"] = static_cast<double>(endState);
    countClicks(state, route.size());
}
BENCHMARK(MainRoutePlaythrough)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
