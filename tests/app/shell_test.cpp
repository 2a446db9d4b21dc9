// Start-up and every way out, seen from outside: the real start-up and
// shutdown code runs in its own process with handler doubles behind it.
#include "app/window_ids.h"
#include "model/properties.h"
#include "tests/win32/debugged_process.h"
#include "tests/win32/files.h"
#include "tests/win32/window_reading.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr DWORD kDeadline = kCeilingMs;
const std::wstring kReleasedNone = L"StarfoldCommunityInstaller: exit handler released 0 blocks";
const std::wstring kReleasedThree = L"StarfoldCommunityInstaller: exit handler released 3 blocks";

using Lines = std::vector<std::wstring>;

struct HostRun {
    bool ended = false;  // false: it was still running at the deadline and was terminated
    std::optional<DWORD> exitCode;
    Lines debugLines;
};

// Runs the host from another current directory, its doubles told what to do by
// the variables; `withWindow` gets the main window once it is visible.
HostRun RunHost(std::map<std::wstring, std::wstring> variables, const std::function<void(HWND window)>& withWindow = nullptr) {
    DebuggedProcess host;
    EXPECT_TRUE(host.Start({ProgramFolder() + L"shell_host.exe", L"", L"C:\\", std::move(variables)}, nullptr));
    if (HWND window = withWindow ? WaitForTopLevelWindow(host.ProcessId(), STARFOLD_WINDOW_CLASS, nullptr, kDeadline) : nullptr)
        withWindow(window);
    bool ended = host.WaitForExit(kDeadline);
    return {ended, host.ExitCode(), host.DebugLines()};
}

// The host ended by itself with the exit code, having written these lines.
void ExpectRun(const HostRun& run, DWORD exitCode, const Lines& debugLines) {
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, exitCode);
    EXPECT_EQ(run.debugLines, debugLines);
}

std::wstring StartupLine() {
    std::wstring folder = ProgramFolder();
    folder.pop_back();
    return L"host: startup visible=1 controls=1 ole=1 cwd=" + folder;
}

TEST(ShellTest, ClosingTheWindowRunsTheExitHandlerOnceAndEndsWithZero) {
    HostRun run = RunHost({}, [](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    // The start-up sequence ran with the window shown, OLE ready and the program's folder current.
    ExpectRun(run, 0, {StartupLine(), kReleasedNone});
}

TEST(ShellTest, TheExitHandlerReleasesWhatTheCommandsLeft) {
    HostRun run = RunHost({{L"STARFOLD_HOST_SCRIPT", L"fill"}}, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    ExpectRun(run, 0, {StartupLine(), kReleasedThree});
}

TEST(ShellTest, EndProgramFromTheStartupSequenceEndsBeforeTheMessageLoop) {
    // The click is queued; were the loop entered, the install command would run.
    ExpectRun(RunHost({{L"STARFOLD_HOST_SCRIPT", L"fill,click-install,end=0"}}), 0, {StartupLine(), kReleasedThree});
}

TEST(ShellTest, EndProgramFromAHandlerEndsWithItsCodeAndRunsTheExitHandlerOnce) {
    HostRun run = RunHost({{L"STARFOLD_HOST_INSTALL", L"end=7"}}, [](HWND window) {
        PostMessageW(GetDlgItem(window, ControlId(Control::按钮1)), BM_CLICK, 0, 0);
    });
    ExpectRun(run, 7, {StartupLine(), L"host: InstallCommand", kReleasedNone});
}

TEST(ShellTest, AWindowThatCannotBeCreatedIsReportedWithoutTheExitHandler) {
    for (const wchar_t* refused : {L"StarfoldCommunityInstaller", L"Button"}) {
        SCOPED_TRACE(testing::Message() << refused);
        ExpectRun(RunHost({{L"STARFOLD_HOST_REFUSE", refused}}), 0xFFFFFFFFu,
                  {L"host: runtime error: 运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"});
    }
}

}  // namespace
