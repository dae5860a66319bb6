// How long suirei-check takes over the whole story: every reachable
// situation explored, then every finding looked for.
#include <benchmark/benchmark.h>

#include "exploration.hpp"
#include "findings.hpp"
#include "stretches.hpp"

namespace {

void ExploreWholeStory(benchmark::State& state) {
    const suirei::Script& script = suirei::story();
    std::size_t situations = 0;
    for (auto _ : state) {
        const suirei::check::Exploration explored(script);
        situations = explored.situations().size();
        benchmark::DoNotOptimize(situations);
    }
    state.counters["situations"] = static_cast<double>(situations);
}
BENCHMARK(ExploreWholeStory)->Unit(benchmark::kMillisecond);

void CheckWholeStory(benchmark::State& state) {
    const suirei::Script& script = suirei::story();
    for (auto _ : state) {
        const suirei::check::Exploration explored(script);
        auto findings = suirei::check::check_story(explored);
        benchmark::DoNotOptimize(findings);
    }
}
BENCHMARK(CheckWholeStory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
