// A million random clicks on visible buttons through the engine and the real
// script, a new game whenever one ends, with the engine's promises checked
// after every click. Built with the sanitizers, it also finds any stray read
// or leak along the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "check.hpp"
#include "memory_screen.hpp"
#include "page.hpp"
#include "story.hpp"
#include "stretches.hpp"

namespace suirei {
namespace {

constexpr StoryState kEndings[] = {242, 389, 435};

bool is_ending(StoryState s) { return std::find(std::begin(kEndings), std::end(kEndings), s) != std::end(kEndings); }

// Eleven lines: exactly ten CR LF pairs, and no CR or LF on its own.
bool is_whole_page(std::string_view t) {
    int breaks = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r') {
            if (i + 1 == t.size() || t[i + 1] != '\n') return false;
            ++breaks;
            ++i;
        } else if (t[i] == '\n') {
            return false;
        }
    }
    return breaks == kPageLines - 1;
}

struct Game {
    MemoryScreen screen;
    Story story{screen, story_script()};
    static const Script& story_script() { return suirei::story(); }
    Game() { story.Form_Load(); }
};

TEST(Soak, AMillionRandomClicksKeepEveryPromiseOfTheEngine) {
    constexpr long kClicks = 1'000'000;
    const Script& script = story();
    std::bitset<32768> tested;
    for (const Rule* r : script.all()) tested.set(static_cast<std::uint16_t>(r->state));

    std::mt19937_64 rng(20261207);
    auto game = std::make_unique<Game>();
    long games = 1;
    std::set<StoryState> endings_seen;
    std::set<std::string> pictures_seen;
    std::vector<Button> choices;

    for (long n = 0; n < kClicks; ++n) {
        // Quit is always there; taken as often as any other button, it would
        // end nearly every game within a few clicks. One click in a thousand
        // goes to it, the rest to the story's buttons.
        choices.clear();
        for (Button b : kAllButtons)
            if (b != Button::Command12 && game->screen.isVisible(b)) choices.push_back(b);
        const bool quit = choices.empty() || std::uniform_int_distribution<int>(0, 999)(rng) == 0;
        const Button b = quit ? Button::Command12
                              : choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(rng)];
        const StoryState before = game->story.state();
        if (b == Button::Command12) {
            game->story.click(b);
            ASSERT_TRUE(game->screen.ended()) << "Quit did not end the game at state " << before;
            game = std::make_unique<Game>();
            ++games;
            continue;
        }
        game->story.click(b);

        const StoryState s = game->story.state();
        const auto where = [&] {
            return "click " + std::to_string(n) + ": " + std::string(name(b)) + " at state " + std::to_string(before) +
                   " led to " + std::to_string(s);
        };
        ASSERT_TRUE(tested.test(static_cast<std::uint16_t>(s)) || is_ending(s)) << where() << ", a state no rule tests";
        ASSERT_TRUE(game->screen.isVisible(Button::Command12)) << where() << ": Quit is hidden";
        if (is_speaking(b)) {
            ASSERT_TRUE(is_whole_page(game->screen.text())) << where() << ": the page is not eleven lines";
        }
        bool more = false;
        for (Button other : kAllButtons) more = more || (other != Button::Command12 && game->screen.isVisible(other));
        ASSERT_TRUE(more || is_ending(s)) << where() << ": only Quit is left before any ending";
        for (const std::string& file : game->screen.takeLoads()) {
            ASSERT_TRUE(is_picture_file(file)) << where() << ": unknown picture " << file;
            pictures_seen.insert(file);
        }
        if (is_ending(s)) {
            endings_seen.insert(s);
            game = std::make_unique<Game>();
            ++games;
        }
    }

    // The walk went everywhere the story goes, or it proved little.
    EXPECT_EQ(endings_seen, (std::set<StoryState>{std::begin(kEndings), std::end(kEndings)}));
    EXPECT_EQ(pictures_seen.size(), kPictureFiles.size()) << "every picture, the opening one at start-up";
    EXPECT_GT(games, 100);
    EXPECT_LT(games, kClicks / 100) << "games ended too early to go deep";
    std::printf("%ld clicks, %ld games\n", kClicks, games);
}

}  // namespace
}  // namespace suirei
