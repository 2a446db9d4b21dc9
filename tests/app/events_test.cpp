// Which window event runs which handler, and how the window comes and goes.
#include "app/main_window.h"
#include "app/resource_ids.h"
#include "app/window_ids.h"
#include "model/properties.h"
#include "tests/app/window_fixture.h"
#include "tests/win32/waiting.h"
#include "tests/win32/window_input.h"

#include <commctrl.h>

#include <algorithm>

namespace {

using MainWindowEventTest = MainWindowTest;

using Names = std::vector<std::string>;

TEST_F(MainWindowEventTest, ButtonAndCheckBoxClicksRunTheirHandlers) {
    for (Control control : {Control::按钮1, Control::按钮3, Control::按钮2, Control::选择框1})
        SendMessageW(Handle(control), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(HandlerNames(),
              (Names{"InstallCommand", "UninstallCommand", "SidePanelSwitch", "VoiceChatSectionSwitch"}));
}

TEST_F(MainWindowEventTest, OtherControlsRunNothing) {
    // STN_CLICKED has the value of BN_CLICKED; the credit's click must not pass for a button's.
    SendMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(ControlId(Control::标签1), STN_CLICKED),
                 reinterpret_cast<LPARAM>(Handle(Control::标签1)));
    SendMessageW(Handle(Control::分组框1), BM_CLICK, 0, 0);
    SendMessageW(Handle(Control::编辑框1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(Handle(Control::编辑框1), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    PumpMessages();
    EXPECT_TRUE(HandlerCalls().empty());
}

TEST_F(MainWindowEventTest, CreditPressRunsSiteLinkOncePerPressWithPointerAndKeys) {
    HWND label = Handle(Control::标签1);
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(5, 7));
    EXPECT_EQ(HandlerCalls(), (std::vector<HandlerCall>{{"SiteLink", 5, 7, 3}}));
    SendMessageW(label, WM_LBUTTONUP, MK_CONTROL | MK_SHIFT, MAKELPARAM(5, 7));
    EXPECT_EQ(HandlerCalls().size(), 1u) << "releasing the button adds nothing";

    // The second press of a double click.
    SendMessageW(label, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(90, 2));
    SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(90, 2));
    ASSERT_EQ(HandlerCalls().size(), 2u);
    EXPECT_EQ(HandlerCalls()[1], (HandlerCall{"SiteLink", 90, 2, 0}));

    // Alt is not among the mouse flags; it is read from the keyboard state.
    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    BYTE saved = keys[VK_MENU];
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(1, 1));
    keys[VK_MENU] = saved;
    SetKeyboardState(keys);
    ASSERT_EQ(HandlerCalls().size(), 3u);
    EXPECT_EQ(HandlerCalls()[2], (HandlerCall{"SiteLink", 1, 1, 6}));

    SendMessageW(label, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
    SendMessageW(label, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(HandlerCalls().size(), 3u);
}

void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

TEST_F(MainWindowEventTest, RealClickOnTheCreditOpensTheSiteOnce) {
    HWND window = MainWindow();
    HWND label = Handle(Control::标签1);
    // Above any other program's window on the shared desktop.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    PumpMessages(100);
    POINT point = {20, 8};
    ClientToScreen(label, &point);
    SetCursorPos(point.x, point.y);
    PumpMessages(100);
    ASSERT_EQ(WindowFromPoint(point), label);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    // The press is dispatched once Wine has queued it: looked for until it has.
    WaitUntil(kCeilingMs, [] { PumpMessages(100); return !HandlerCalls().empty(); });
    EXPECT_EQ(HandlerCalls(), (std::vector<HandlerCall>{{"SiteLink", 20, 8, 0}})) << "on the press, not the release";
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpMessages(200);
    EXPECT_EQ(HandlerCalls().size(), 1u);
    EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(STARFOLD_HAND_CURSOR))) << "the hand over the credit";
}

LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR commands) {
    if (message == WM_COMMAND) reinterpret_cast<std::vector<WPARAM>*>(commands)->push_back(wParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(MainWindowEventTest, GroupBoxesPassTheirChildrensNotificationsToTheWindow) {
    std::vector<WPARAM> commands;
    SetWindowSubclass(MainWindow(), RecordCommands, 1, reinterpret_cast<DWORD_PTR>(&commands));
    SetWindowTextW(Handle(Control::编辑框2), L"x");
    RemoveWindowSubclass(MainWindow(), RecordCommands, 1);
    EXPECT_NE(std::find(commands.begin(), commands.end(), MAKEWPARAM(ControlId(Control::编辑框2), EN_CHANGE)),
              commands.end());
    EXPECT_TRUE(HandlerCalls().empty());
}

TEST_F(MainWindowEventTest, CreationCompletedRunsTheStartupSequenceOnceShown) {
    ForgetCallsAndClose();
    bool shown = false, controlsExist = false;
    WhileHandlerRuns("StartupSequence", [&] {
        shown = IsWindowVisible(MainWindow()) != FALSE;
        controlsExist = ControlWindow(Control::超文本浏览框1) != nullptr;
    });
    ASSERT_TRUE(LoadStartWindow());
    EXPECT_EQ(HandlerNames(), Names{"StartupSequence"}) << "before any message loop runs";
    EXPECT_TRUE(shown);
    EXPECT_TRUE(controlsExist);
    PumpMessages(50);
    EXPECT_EQ(HandlerCalls().size(), 1u);
}

TEST_F(MainWindowEventTest, ClosingTheWindowEndsTheMessageLoop) {
    HWND window = MainWindow();
    PostMessageW(window, WM_CLOSE, 0, 0);
    RunMessageLoop();  // returns only on the quit message
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(ControlWindow(Control::按钮1), nullptr);
    EXPECT_TRUE(HandlerCalls().empty());
}

// Top-level windows of this thread, the hidden OLE window aside.
int CountThreadWindows() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM counter) -> BOOL {
            if (WindowClass(window) != L"OleMainThreadWndClass") ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

bool LoadRefusing(const wchar_t* className) {
    EXPECT_TRUE(RefuseWindowClass(className));
    bool loaded = LoadStartWindow();
    StopRefusingWindowClass();
    return loaded;
}

TEST_F(MainWindowEventTest, AWindowOrControlThatCannotBeCreatedLeavesNothing) {
    ForgetCallsAndClose();
    for (const wchar_t* refused : {STARFOLD_WINDOW_CLASS, L"Static", L"Edit"}) {
        SCOPED_TRACE(testing::Message() << refused);
        EXPECT_FALSE(LoadRefusing(refused));
        EXPECT_EQ(MainWindow(), nullptr);
        EXPECT_EQ(CountThreadWindows(), 0) << "nothing half-built is left behind";
        EXPECT_FALSE(PumpMessages()) << "no quit message left to end the error box at once";
        EXPECT_TRUE(HandlerCalls().empty()) << "no creation-completed event";
    }
    EXPECT_TRUE(LoadStartWindow());
    EXPECT_EQ(HandlerNames(), Names{"StartupSequence"});
    EXPECT_GE(CountThreadWindows(), 1);
}

}  // namespace
