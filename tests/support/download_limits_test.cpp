// The time limits of a download against a clock that the download's own
// thread may have moved on meanwhile.
#include "support/download_limits.h"

#include <gtest/gtest.h>

namespace {

// The worker stored a newer time after the waiting thread read the clock: no silence at all, in every stage.
TEST(DownloadLimits, AByteHeardAfterTheClockWasReadIsNoSilence) {
    constexpr uint64_t kStart = 1000000;
    for (DownloadStage stage : {DownloadStage::Connecting, DownloadStage::AwaitingAnswer, DownloadStage::ReadingBody})
        EXPECT_FALSE(IsDownloadOverdue(stage, {kStart + 5000, kStart, kStart + 5001})) << static_cast<int>(stage);
}

}  // namespace
