// The time limits of a download against a clock that the download's own
// thread may have moved on meanwhile.
#include "support/download_limits.h"

#include <gtest/gtest.h>

// The worker stored a newer time after the waiting thread read the clock: no silence at all, in every stage.
TEST(DownloadLimits, AByteHeardAfterTheClockWasReadIsNoSilence) {
    for (DownloadStage stage : {DownloadStage::Connecting, DownloadStage::AwaitingAnswer, DownloadStage::ReadingBody})
        EXPECT_FALSE(IsDownloadOverdue(stage, {1005000, 1000000, 1005001})) << static_cast<int>(stage);
}
