#include "support/win32/alive_wait.h"

namespace {

constexpr DWORD kGiveUpPollMs = 100;

// Waits happen on the GUI thread only.
int g_waits = 0;

// Alt+F4 arrives as a key like any other; it is the one key let through.
bool IsCloseKey(const MSG& message) { return message.message == WM_SYSKEYDOWN && message.wParam == VK_F4; }

bool IsUserInput(const MSG& message) {
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) return !IsCloseKey(message);
    return (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) || message.message == BM_CLICK;
}

// The pointer is shared: it is set only while it is over a window of this
// thread, which answers WM_SETCURSOR the same way for the rest of the wait.
void ShowBusyPointer() {
    POINT at;
    HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId())
        SetCursor(WaitPointer());
}

// Dispatches what has arrived, for as long as the poll interval: a steady
// flow of messages must not keep the wait from its object and its limits.
// False when the quit message came, which is put back for the message loop
// that is waiting for it.
bool DispatchArrivedMessages() {
    const ULONGLONG until = GetTickCount64() + kGiveUpPollMs;
    MSG message;
    while (GetTickCount64() < until && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (IsUserInput(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace

bool WaitWithWindowsAlive(HANDLE object, const std::function<bool()>& giveUp) {
    ++g_waits;
    ShowBusyPointer();
    bool signalled = false;
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &object, kGiveUpPollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            signalled = true;
            break;
        }
        if (woken == WAIT_FAILED || giveUp()) break;
        if (woken == WAIT_OBJECT_0 + 1 && !DispatchArrivedMessages()) break;
    }
    --g_waits;
    return signalled;
}

void PauseWithWindowsAlive(unsigned milliseconds) {
    // The object waited for is a timer; a relative time is negative, in units of 100 ns.
    HANDLE timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    if (!timer) return;
    LARGE_INTEGER due;
    due.QuadPart = -10000LL * milliseconds;
    if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) WaitWithWindowsAlive(timer, [] { return false; });
    CloseHandle(timer);
}

bool IsWaitingWithWindowsAlive() { return g_waits > 0; }

HCURSOR WaitPointer() { return LoadCursorW(nullptr, IDC_APPSTARTING); }
