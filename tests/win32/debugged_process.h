// The one way the tests run a program: as a debuggee, so that they see the
// lines it writes with OutputDebugString, every exception that it does not
// handle itself, and its exit code.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct LaunchRequest {
    std::wstring program;
    std::wstring arguments;
    std::wstring workingFolder;                      // empty: this process's own
    std::map<std::wstring, std::wstring> variables;  // set or replaced in the inherited environment
};

struct UnhandledException {
    DWORD code;
};

class DebuggedProcess {
public:
    DebuggedProcess() = default;
    DebuggedProcess(const DebuggedProcess&) = delete;
    DebuggedProcess& operator=(const DebuggedProcess&) = delete;
    // Ends a debuggee that is still running.
    ~DebuggedProcess();

    // False (with the reason in *problem) when the program could not be started.
    bool Start(const LaunchRequest& request, std::wstring* problem);

    DWORD ProcessId() const { return processId_; }
    bool HasExited() const { return Locked(finished_); }
    // True when the process ended within the time.
    bool WaitForExit(DWORD timeoutMs);
    std::optional<DWORD> ExitCode() const { return Locked(exitCode_); }

    // Every OutputDebugString line so far, as written.
    std::vector<std::wstring> DebugLines() const { return Locked(debugLines_); }
    // Waits until some line starting with the prefix has arrived.
    bool WaitForDebugLine(const std::wstring& prefix, DWORD timeoutMs) const;
    // Exceptions that reached the last chance: the process crashed.
    std::vector<UnhandledException> LastChanceExceptions() const { return Locked(lastChance_); }

    void Terminate();

private:
    void RunDebugLoop(LaunchRequest request);
    void ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info);
    // A copy of a member that the debug loop writes, taken under the lock.
    template <typename Value>
    Value Locked(const Value& member) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return member;
    }

    std::thread loop_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool started_ = false;
    bool finished_ = false;
    bool terminateRequested_ = false;
    std::wstring startProblem_;
    DWORD processId_ = 0;
    std::optional<DWORD> exitCode_;
    std::vector<std::wstring> debugLines_;
    std::vector<UnhandledException> lastChance_;
};

// The environment block of this process with the given variables set.
std::wstring BuildEnvironmentBlock(const std::map<std::wstring, std::wstring>& variables);
