// The alive wait while messages keep coming: a queue that is never empty
// must not keep it from its object or its limits.
#include "support/win32/alive_wait.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kNext = WM_APP + 1;
ULONGLONG g_flowEnds = 0;
int g_flowed = 0;
HANDLE g_signalledByFlow = nullptr;

// Each message posts the next until the flow ends; the tenth signals the object, if any.
LRESULT CALLBACK Flow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kNext) return DefWindowProcW(window, message, wParam, lParam);
    if (++g_flowed == 10 && g_signalledByFlow) SetEvent(g_signalledByFlow);
    if (GetTickCount64() < g_flowEnds) PostMessageW(window, kNext, 0, 0);
    return 0;
}

TEST(AliveWait, LooksAtItsObjectAndLimitsWhileMessagesKeepComing) {
    for (bool byObject : {false, true}) {
        SCOPED_TRACE(byObject ? "the object signalled" : "asked to give up");
        HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Flow));
        HANDLE object = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_signalledByFlow = byObject ? object : nullptr;
        g_flowed = 0;
        g_flowEnds = GetTickCount64() + 5000;
        PostMessageW(window, kNext, 0, 0);
        int asked = 0;  // the first time is before the flow has begun
        EXPECT_EQ(WaitWithWindowsAlive(object, [&] { return !byObject && ++asked == 2; }), byObject);
        EXPECT_LT(GetTickCount64(), g_flowEnds) << "the wait ended only with the flow, after " << g_flowed << " messages";
        DestroyWindow(window);
        CloseHandle(object);
    }
}

}  // namespace
