// Polling with a deadline: the installer runs in another process, so the
// driver can only look again until what it expects has happened.
#pragma once

#include <windows.h>

// Calls check every few milliseconds until it gives true or the time is up;
// gives the last result.
template <typename Check>
bool WaitUntil(DWORD timeoutMs, Check check) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (check()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(15);
    }
}
