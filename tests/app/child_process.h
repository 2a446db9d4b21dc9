// Runs a program as its debugger: its debugger output and exit code are
// what a test of start-up and shutdown can see from outside.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ChildRun {
    bool ended = false;  // false: it was still running at the deadline and was terminated
    DWORD exitCode = 0;
    std::vector<std::string> debugLines;
};

// `whileRunning` is called about every 50 ms with the child's process id.
ChildRun RunUnderDebugger(const std::wstring& program, const std::wstring& currentDirectory,
                          const std::function<void(DWORD process)>& whileRunning, DWORD timeoutMilliseconds);

// The folder of this test program, with a trailing backslash.
std::wstring ThisProgramFolder();

// A visible top-level window of that process and class, or nullptr.
HWND FindProcessWindow(DWORD process, const wchar_t* className);
