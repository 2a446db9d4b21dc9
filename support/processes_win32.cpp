#include "support/processes.h"

#include "support/site.h"
#include "support/win32/alive_wait.h"
#include "support/win32/wide_text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

namespace {

// The Windows show command for each show mode, 1 to 6.
constexpr WORD kShowCommands[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE,
                                  SW_MINIMIZE};

constexpr DWORD kInputIdleWaitMs = 1000;

}  // namespace

bool RunCommand(const Text& commandLine, std::optional<bool> waitForExit, std::optional<int> showMode) {
    int mode = std::clamp(showMode.value_or(kShowNormal), 1, 6);
    std::wstring line = WideFromGbk(commandLine);
    if (line.empty()) return false;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = kShowCommands[mode - 1];
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;

    if (waitForExit.value_or(false)) {
        // A process waited for that has not ended by then goes on by itself.
        const ULONGLONG started = GetTickCount64();
        WaitWithWindowsAlive(process.hProcess, [started] { return GetTickCount64() - started >= kLongestExitWaitMs; });
    } else {
        WaitForInputIdle(process.hProcess, kInputIdleWaitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void OpenUrl(const std::optional<Text>& address) {
    std::wstring target = WideFromGbk(address.value_or(SITE_BASE));
    // An empty address would open a folder window instead of a page.
    if (target.empty()) return;
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    // Handed over before returning: the program may end right after, which
    // can lose a hand-off that is still on its way.
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = FindWindowExW(nullptr, nullptr, nullptr, L"Microsoft Internet Explorer");
    execute.lpVerb = L"open";
    execute.lpFile = target.c_str();
    execute.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&execute);
}

Text EnvironmentVariable(const Text& name) {
    std::wstring wideName = WideFromGbk(name);
    DWORD length = wideName.empty() ? 0 : GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (length == 0) return Text();
    std::wstring value(length, L'\0');
    length = GetEnvironmentVariableW(wideName.c_str(), value.data(), length);
    value.resize(length < value.size() ? length : 0);
    Text text;
    return GbkFromWide(value, &text) ? text : Text();
}
