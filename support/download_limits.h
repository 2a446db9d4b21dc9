// The time limits of one download, apart from the thread that runs it: a
// site that accepts the connection and never answers, or drips a byte now and
// then, must not hold the installer for ever.
#pragma once

#include <cstdint>

inline constexpr uint64_t kConnectLimitMs = 10000;  // to reach the server
inline constexpr uint64_t kSilenceLimitMs = 15000;  // without a byte, once connected
inline constexpr uint64_t kWholeLimitMs = 120000;   // for the whole download

// Where a download stands; each stage has its own limits.
enum class DownloadStage { Connecting, AwaitingAnswer, ReadingBody };

// Times in milliseconds of one steadily rising clock. `lastHeardAt` is stored
// by the thread that runs the download and may be later than `now`.
struct DownloadTimes {
    uint64_t now = 0;
    uint64_t startedAt = 0;
    uint64_t lastHeardAt = 0;
};

// True when the download is to be given up. While the body is read, silence
// is the request's own receive limit, which sees each byte as it arrives.
bool IsDownloadOverdue(DownloadStage stage, const DownloadTimes& times);
