#include "support/download_limits.h"

namespace {

// From `earlier` to `later`, or 0 when `earlier` is in fact the later time.
uint64_t Between(uint64_t earlier, uint64_t later) { return later > earlier ? later - earlier : 0; }

}  // namespace

bool IsDownloadOverdue(DownloadStage stage, const DownloadTimes& times) {
    if (Between(times.startedAt, times.now) >= kWholeLimitMs) return true;
    switch (stage) {
    case DownloadStage::Connecting:
        return Between(times.startedAt, times.now) >= kConnectLimitMs;
    case DownloadStage::AwaitingAnswer:
        return Between(times.lastHeardAt, times.now) >= kSilenceLimitMs;
    case DownloadStage::ReadingBody:
        break;
    }
    return false;
}
