// Replacing a file held open: tried again after a growing pause, for about
// 3 s in all, and no longer than that.
#include "support/retry_while_held.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

TEST(RetryWhileHeld, TriesAgainAfterGrowingPausesForAboutThreeSeconds) {
    struct Case {
        const char* what;
        std::vector<Attempt> outcomes;  // of the tries in turn; the last one repeats
        bool done;
        size_t tries;
    } cases[] = {
        {"done at once", {Attempt::Done}, true, 1},
        {"free after two tries", {Attempt::Held, Attempt::Held, Attempt::Done}, true, 3},
        {"a failure is final", {Attempt::Failed}, false, 1},
        {"held for good", {Attempt::Held}, false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        size_t tries = 0;
        std::vector<unsigned> pauses;
        bool done = RetryWhileHeld([&] { return c.outcomes[std::min(tries++, c.outcomes.size() - 1)]; },
                                   [&](unsigned ms) { pauses.push_back(ms); });
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(tries, c.tries);
        ASSERT_EQ(pauses.size(), tries - 1) << "a pause between each two tries";
        for (size_t i = 1; i < pauses.size(); ++i) EXPECT_EQ(pauses[i], 2 * pauses[i - 1]);
        if (c.tries == 7) EXPECT_EQ(std::accumulate(pauses.begin(), pauses.end(), 0u), 3150u);
    }
}

}  // namespace
