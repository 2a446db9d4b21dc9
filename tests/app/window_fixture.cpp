#include "tests/app/window_fixture.h"

#include "app/shell.h"

#include <mutex>

bool PumpMessages(DWORD milliseconds) {
    bool quit = false;
    DWORD start = GetTickCount();
    do {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            quit = quit || message.message == WM_QUIT;
            TranslateMessage(&message);
            if (message.message != WM_QUIT) DispatchMessageW(&message);
        }
        if (milliseconds) Sleep(10);
    } while (GetTickCount() - start < milliseconds);
    return quit;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof font, &font);
    return font;
}

void MainWindowTest::SetUpTestSuite() {
    static std::once_flag initialised;
    std::call_once(initialised, InitialiseGuiLayer);
}

void MainWindowTest::SetUp() {
    ResetHandlerDoubles();
    ASSERT_TRUE(LoadStartWindow());
    PumpMessages();
    HandlerCalls().clear();  // the creation-completed event has run its double
}

void MainWindowTest::TearDown() { ForgetCallsAndClose(); }

void MainWindowTest::ForgetCallsAndClose() {
    ResetHandlerDoubles();
    CloseMainWindow();
    PumpMessages();
}
