#include "tests/win32/debugged_process.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring UpperName(const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'=', 1));
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name;
}

// A test run beside the others has a desktop of its own, named by
// STARFOLD_DESKTOP (on a screen of its own): the programs it starts open
// their windows there, and the thread that starts them, the test's, looks for
// windows there. Null for the shared desktop.
const wchar_t* TestDesktop() {
    static const wchar_t* const name = _wgetenv(L"STARFOLD_DESKTOP");
    static const bool joined = name && SetThreadDesktop(CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    return joined ? name : nullptr;
}

}  // namespace

std::wstring BuildEnvironmentBlock(const std::map<std::wstring, std::wstring>& variables) {
    std::vector<std::wstring> entries;
    std::vector<std::wstring> replaced;
    for (const auto& [name, value] : variables) replaced.push_back(UpperName(name + L"="));
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* entry = inherited; *entry; entry += wcslen(entry) + 1) {
        if (std::find(replaced.begin(), replaced.end(), UpperName(entry)) == replaced.end()) entries.push_back(entry);
    }
    FreeEnvironmentStringsW(inherited);
    for (const auto& [name, value] : variables) entries.push_back(name + L"=" + value);
    std::sort(entries.begin(), entries.end(),
              [](const std::wstring& a, const std::wstring& b) { return UpperName(a) < UpperName(b); });
    std::wstring block;
    for (const std::wstring& entry : entries) block += entry + L'\0';
    return block + L'\0';
}

DebuggedProcess::~DebuggedProcess() {
    Terminate();
    if (loop_.joinable()) loop_.join();
}

bool DebuggedProcess::Start(const LaunchRequest& request, std::wstring* problem) {
    TestDesktop();
    // Debug events go only to the thread that created the debuggee, so that
    // thread creates it and then serves its events until it has ended.
    loop_ = std::thread(&DebuggedProcess::RunDebugLoop, this, request);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return started_ || finished_; });
    if (!started_ && problem) *problem = startProblem_;
    return started_;
}

void DebuggedProcess::RunDebugLoop(LaunchRequest request) {
    std::wstring commandLine = L"\"" + request.program + L"\"";
    if (!request.arguments.empty()) commandLine += L" " + request.arguments;
    std::wstring environment = BuildEnvironmentBlock(request.variables);
    STARTUPINFOW startup = {sizeof startup};
    startup.lpDesktop = const_cast<wchar_t*>(TestDesktop());
    PROCESS_INFORMATION process = {};
    bool created = CreateProcessW(request.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                  DEBUG_ONLY_THIS_PROCESS | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                                  request.workingFolder.empty() ? nullptr : request.workingFolder.c_str(), &startup,
                                  &process);
    const std::wstring problem = L"CreateProcess failed with error " + std::to_wstring(GetLastError());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        startProblem_ = created ? L"" : problem + L" for " + request.program;
        processId_ = process.dwProcessId;
        started_ = created;
        finished_ = !created;
        changed_.notify_all();
    }

    bool loaderBreakpointSeen = false;
    bool terminating = false;
    for (bool exited = !created; !exited;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 50)) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (terminateRequested_ && !terminating) {
                TerminateProcess(process.hProcess, 0xDEAD);
                terminating = true;
            }
            continue;
        }
        DWORD continueStatus = DBG_CONTINUE;
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            ReadDebugString(process.hProcess, event.u.DebugString);
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (!loaderBreakpointSeen && record.ExceptionCode == EXCEPTION_BREAKPOINT) {
                loaderBreakpointSeen = true;  // the loader stops once for every new debuggee
                break;
            }
            // Exceptions belong to the program: first chances go back to its
            // own handlers, a last chance means it crashed.
            continueStatus = DBG_EXCEPTION_NOT_HANDLED;
            if (!event.u.Exception.dwFirstChance) {
                std::lock_guard<std::mutex> lock(mutex_);
                lastChance_.push_back({record.ExceptionCode});
                changed_.notify_all();
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT: {
            std::lock_guard<std::mutex> lock(mutex_);
            exitCode_ = event.u.ExitProcess.dwExitCode;
            exited = true;
            break;
        }
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    }
    if (created) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void DebuggedProcess::ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    const size_t count = info.nDebugStringLength;
    std::string bytes(count * (info.fUnicode ? sizeof(wchar_t) : 1), '\0');
    SIZE_T got = 0;
    ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &got);
    std::wstring line(got, L'\0');
    if (info.fUnicode) {
        line.assign(reinterpret_cast<const wchar_t*>(bytes.data()), got / sizeof(wchar_t));
    } else {
        int size = static_cast<int>(got);
        line.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, line.data(), size));
    }
    line.resize(wcsnlen(line.c_str(), line.size()));
    std::lock_guard<std::mutex> lock(mutex_);
    debugLines_.push_back(line);
    changed_.notify_all();
}

bool DebuggedProcess::WaitForExit(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished_; });
}

bool DebuggedProcess::WaitForDebugLine(const std::wstring& prefix, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::any_of(debugLines_.begin(), debugLines_.end(),
                           [&](const std::wstring& line) { return line.compare(0, prefix.size(), prefix) == 0; });
    });
}

void DebuggedProcess::Terminate() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!started_ || finished_) return;
    terminateRequested_ = true;
    changed_.wait_for(lock, std::chrono::seconds(10), [this] { return finished_; });
}
