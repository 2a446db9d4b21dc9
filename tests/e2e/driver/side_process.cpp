#include "driver/side_process.h"

SideProcess::~SideProcess() {
    Terminate();
    if (process_) CloseHandle(process_);
}

bool SideProcess::Start(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    return true;
}

bool SideProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool SideProcess::WaitForExit(DWORD timeoutMs) const {
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

void SideProcess::Terminate() {
    if (!Running()) return;
    TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(process_, 5000);
}
