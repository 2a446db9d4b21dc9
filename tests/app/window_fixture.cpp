#include "tests/app/window_fixture.h"

#include "app/shell.h"

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (milliseconds) Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

bool DrainQueue() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        DispatchMessageW(&message);
    }
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
    static bool initialised = false;
    if (!initialised) InitialiseGuiLayer();
    initialised = true;
}

void MainWindowTest::SetUp() {
    ResetHandlerDoubles();
    ASSERT_TRUE(LoadStartWindow());
    PumpMessages();
    HandlerCalls().clear();  // the creation-completed event has run its double
}

void MainWindowTest::TearDown() {
    ResetHandlerDoubles();
    CloseMainWindow();
    DrainQueue();
}
