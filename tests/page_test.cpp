#include <gtest/gtest.h>

#include "page.hpp"

namespace suirei {
namespace {

TEST(Compose, AlwaysElevenLinesTenBreaksWhateverTheSlotsHold) {
    struct Case {
        Page page;
        std::string expected;
    };
    const Case cases[] = {
        {Page{{"alpha"}, ""}, "alpha\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"},
        {Page{{"alpha", "beta", "gamma"}, ""}, "alpha\r\n\r\nbeta\r\n\r\ngamma\r\n\r\n\r\n\r\n\r\n\r\n"},
        {Page{{"a", "b", "c", "d", "e"}, "f"}, "a\r\n\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne\r\n\r\nf"},
        {Page{{"", "", "", "", "e"}, ""}, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ne\r\n\r\n"},
        {Page{}, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(compose(c.page), c.expected);
}

}  // namespace
}  // namespace suirei
