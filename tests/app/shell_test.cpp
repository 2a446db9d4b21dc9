// Start-up and every way out, seen from outside: the real start-up and
// shutdown code runs in its own process with handler doubles behind it.
#include "app/properties.h"
#include "app/window_ids.h"
#include "tests/app/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr DWORD kDeadline = 20000;
const std::string kReleasedNone = "StarfoldCommunityInstaller: exit handler released 0 blocks";
const std::string kReleasedThree = "StarfoldCommunityInstaller: exit handler released 3 blocks";

class ShellTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name : {"STARFOLD_HOST_SCRIPT", "STARFOLD_HOST_INSTALL", "STARFOLD_HOST_REFUSE"}) {
            SetEnvironmentVariableA(name, nullptr);
        }
    }

    static void Set(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

    // Runs the host from another current directory; `withWindow` gets the main window once it is visible.
    static ChildRun RunHost(const std::function<void(HWND window)>& withWindow = nullptr) {
        bool done = false;
        return RunUnderDebugger(
            ThisProgramFolder() + L"shell_host.exe", L"C:\\",
            [&](DWORD process) {
                HWND window = FindProcessWindow(process, STARFOLD_WINDOW_CLASS);
                if (window && !done && withWindow) withWindow(window);
                done = done || window;
            },
            kDeadline);
    }

    static std::string StartupLine() {
        std::wstring folder = ThisProgramFolder();
        folder.pop_back();
        return "host: startup visible=1 controls=1 ole=1 cwd=" + std::string(folder.begin(), folder.end());
    }
};

std::vector<std::string> Lines(std::initializer_list<std::string> lines) { return lines; }

TEST_F(ShellTest, ClosingTheWindowRunsTheExitHandlerOnceAndEndsWithZero) {
    ChildRun run = RunHost([](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    // The start-up sequence ran with the window shown, OLE ready and the program's folder current.
    EXPECT_EQ(run.debugLines, Lines({StartupLine(), kReleasedNone}));
}

TEST_F(ShellTest, TheExitHandlerReleasesWhatTheCommandsLeft) {
    Set("STARFOLD_HOST_SCRIPT", "fill");
    ChildRun run = RunHost([](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.debugLines, Lines({StartupLine(), kReleasedThree}));
}

TEST_F(ShellTest, EndProgramFromTheStartupSequenceEndsBeforeTheMessageLoop) {
    // The click is queued; were the loop entered, the install command would run.
    Set("STARFOLD_HOST_SCRIPT", "fill,click-install,end=0");
    ChildRun run = RunHost();
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.debugLines, Lines({StartupLine(), kReleasedThree}));
}

TEST_F(ShellTest, EndProgramFromAHandlerEndsWithItsCodeAndRunsTheExitHandlerOnce) {
    Set("STARFOLD_HOST_INSTALL", "end=7");
    ChildRun run = RunHost([](HWND window) {
        PostMessageW(GetDlgItem(window, ControlId(Control::按钮1)), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_EQ(run.debugLines, Lines({StartupLine(), "host: InstallCommand", kReleasedNone}));
}

TEST_F(ShellTest, AWindowThatCannotBeCreatedIsReportedWithoutTheExitHandler) {
    for (const char* refused : {"StarfoldCommunityInstaller", "Button"}) {
        SCOPED_TRACE(refused);
        Set("STARFOLD_HOST_REFUSE", refused);
        ChildRun run = RunHost();
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.exitCode, 0xFFFFFFFFu);
        EXPECT_EQ(run.debugLines,
                  Lines({"host: runtime error: 运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"}));
    }
}

}  // namespace
