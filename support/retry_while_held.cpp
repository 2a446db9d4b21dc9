#include "support/retry_while_held.h"

bool RetryWhileHeld(const std::function<Attempt()>& attempt, const std::function<void(unsigned pauseMs)>& pause) {
    for (unsigned pauseMs = kFirstPauseMs;; pauseMs *= 2) {
        Attempt outcome = attempt();
        if (outcome != Attempt::Held) return outcome == Attempt::Done;
        if (pauseMs > kLongestPauseMs) return false;
        pause(pauseMs);
    }
}
