// Polling with a deadline: the installer runs in another process, so the
// driver can only look again until what it expects has happened.
#pragma once

#include <windows.h>

// How long a test waits for what the program does at once on a quiet machine
// (a window, a box, an answer, a file, a request): many times what it takes
// there, so that only what never comes fails, however loaded the machine.
// A wait that comes back early costs nothing; only a failure waits this long.
inline constexpr DWORD kCeilingMs = 20000;

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
