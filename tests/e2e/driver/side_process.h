// A program the driver starts beside the installer: a stand-in for the game,
// say, that the installer is meant to end. It runs under the one process
// runner of the tests, which also sees how it ended.
#pragma once

#include "tests/win32/debugged_process.h"

class SideProcess : public DebuggedProcess {
public:
    bool Start(const std::wstring& program) { return DebuggedProcess::Start({program}, nullptr); }
    bool Running() const { return ProcessId() != 0 && !HasExited(); }
};
