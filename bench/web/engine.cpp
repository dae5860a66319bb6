// The engine's time per click, one loop built twice: natively and for
// WebAssembly (run by node), so the two numbers compare like with like.
// Plays start-up and every click of a route on a memory screen, over and
// over, and prints one JSON line: the median over batches of the time of one
// whole game and of one click in it, and of start-up alone.
//
// Usage: engine ROUTE-FILE [games]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "memory_screen.hpp"
#include "story.hpp"
#include "stretches.hpp"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<suirei::Button> readRoute(const char* path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "engine: cannot read %s\n", path);
        std::exit(2);
    }
    std::vector<suirei::Button> out;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto b = suirei::find_button(line);
        if (!b) {
            std::fprintf(stderr, "engine: no button called %s\n", line.c_str());
            std::exit(2);
        }
        out.push_back(*b);
    }
    return out;
}

volatile std::size_t sink;

// One game: start-up, then the route's clicks on visible buttons (none: start-up
// alone).
std::size_t play(const std::vector<suirei::Button>& route) {
    suirei::MemoryScreen screen;
    suirei::Story game(screen, suirei::story());
    game.Form_Load();
    for (suirei::Button b : route) {
        if (!screen.isVisible(b)) {
            std::fprintf(stderr, "engine: the route clicks a hidden button\n");
            std::exit(1);
        }
        game.click(b);
    }
    return screen.text().size() + static_cast<std::size_t>(game.state());
}

template <typename F>
double medianNs(F&& f, int batches, int per) {
    std::vector<double> t;
    for (int i = 0; i < batches; ++i) {
        const auto t0 = Clock::now();
        for (int k = 0; k < per; ++k) sink = sink + f();
        t.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / per);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: engine ROUTE-FILE [games]\n");
        return 2;
    }
    const auto route = readRoute(argv[1]);
    const int games = argc > 2 ? std::max(21, std::atoi(argv[2])) : 2100;
    for (int i = 0; i < games / 10; ++i) sink = sink + play(route);  // warm up
    const double game = medianNs([&] { return play(route); }, 21, games / 21);
    const double start = medianNs([] { return play({}); }, 21, games / 21);
    std::printf("{\"clicks\":%zu,\"game_ns\":%.0f,\"start_ns\":%.0f,\"click_ns\":%.1f}\n", route.size(), game,
                start, (game - start) / static_cast<double>(route.size()));
    return 0;
}
