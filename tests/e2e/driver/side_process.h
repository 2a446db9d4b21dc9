// A program the driver starts beside the installer, not as a debuggee: a
// stand-in for the game, say, that the installer is meant to end.
#pragma once

#include <windows.h>

#include <string>

class SideProcess {
public:
    SideProcess() = default;
    SideProcess(const SideProcess&) = delete;
    SideProcess& operator=(const SideProcess&) = delete;
    // Ends the program if it still runs.
    ~SideProcess();

    bool Start(const std::wstring& program);
    bool Running() const;
    // True when the program ended within the time.
    bool WaitForExit(DWORD timeoutMs) const;
    void Terminate();

private:
    HANDLE process_ = nullptr;
};
