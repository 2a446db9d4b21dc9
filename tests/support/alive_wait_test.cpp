// The alive wait while messages keep coming: a queue that is never empty
// must not keep it from its limits.
#include "support/win32/alive_wait.h"

#include <gtest/gtest.h>

// Each message posts the next until the flow ends.
static ULONGLONG g_flowEnds = 0;
static LRESULT CALLBACK Flow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP && GetTickCount64() < g_flowEnds) PostMessageW(window, WM_APP, 0, 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(AliveWait, AsksItsLimitsWhileMessagesKeepComing) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Flow));
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_flowEnds = GetTickCount64() + 5000;
    PostMessageW(window, WM_APP, 0, 0);
    int asked = 0;  // the first time is before the flow has begun
    EXPECT_FALSE(WaitWithWindowsAlive(never, [&] { return ++asked == 2; }));
    EXPECT_LT(GetTickCount64(), g_flowEnds) << "the limits were asked only once the flow had ended";
    DestroyWindow(window);
    CloseHandle(never);
}
