#include "tests/app/child_process.h"

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    if (info.fUnicode) {
        std::wstring wide(info.nDebugStringLength, L'\0');
        ReadProcessMemory(process, info.lpDebugStringData, wide.data(), wide.size() * sizeof(wchar_t), nullptr);
        wide.resize(wcsnlen(wide.c_str(), wide.size()));
        std::string narrow(wide.size() * 2 + 1, '\0');
        int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                                         static_cast<int>(narrow.size()), nullptr, nullptr);
        narrow.resize(length > 0 ? length : 0);
        return narrow;
    }
    std::string text(info.nDebugStringLength, '\0');
    ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), nullptr);
    text.resize(strnlen(text.c_str(), text.size()));
    return text;
}

}  // namespace

ChildRun RunUnderDebugger(const std::wstring& program, const std::wstring& currentDirectory,
                          const std::function<void(DWORD process)>& whileRunning, DWORD timeoutMilliseconds) {
    ChildRun run;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION child = {};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, currentDirectory.c_str(), &startup, &child)) {
        return run;
    }
    DWORD start = GetTickCount(), lastPoll = start;
    while (!run.ended) {
        DEBUG_EVENT event = {};
        if (GetTickCount() - lastPoll >= 50) {
            whileRunning(child.dwProcessId);
            lastPoll = GetTickCount();
        }
        if (GetTickCount() - start > timeoutMilliseconds) {
            TerminateProcess(child.hProcess, 1);
            DebugActiveProcessStop(child.dwProcessId);
            break;
        }
        if (!WaitForDebugEvent(&event, 50)) continue;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
                break;
            case OUTPUT_DEBUG_STRING_EVENT:
                run.debugLines.push_back(ReadDebugString(child.hProcess, event.u.DebugString));
                break;
            case EXCEPTION_DEBUG_EVENT:
                // Only the loader's breakpoint is ours to swallow.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    status = DBG_EXCEPTION_NOT_HANDLED;
                }
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                run.exitCode = event.u.ExitProcess.dwExitCode;
                run.ended = true;
                break;
            default: break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    WaitForSingleObject(child.hProcess, 5000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return run;
}

std::wstring ThisProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

HWND FindProcessWindow(DWORD process, const wchar_t* className) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
}
