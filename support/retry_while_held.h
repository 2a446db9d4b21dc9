// Replacing a file that another program holds open for a moment: a virus
// scanner looking at a new file, the game reading its region file. Such a
// replace is tried again after a pause that grows, for about 3 s in all.
#pragma once

#include <functional>

enum class Attempt {
    Done,
    Held,    // the file is held open: worth another try
    Failed,  // anything else: no later try would do better
};

// The pauses between tries, in milliseconds: 50, 100, 200 ... 1600, 3150 in all.
inline constexpr unsigned kFirstPauseMs = 50;
inline constexpr unsigned kLongestPauseMs = 1600;
inline constexpr unsigned kAllPausesMs = 2 * kLongestPauseMs - kFirstPauseMs;

// Tries until an attempt is done or fails, or is still held after the last
// pause; `pause` waits between tries. True when an attempt was done.
bool RetryWhileHeld(const std::function<Attempt()>& attempt, const std::function<void(unsigned pauseMs)>& pause);
