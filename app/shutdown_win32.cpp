#include "app/shell.h"
#include "model/shutdown.h"
#include "support/files.h"

#include <windows.h>

#include <string>

namespace {

int (*g_exitHandler)() = nullptr;

// Forgets the handler before running it, so that no way out runs it twice.
void RunExitHandlerOnce() {
    int (*handler)() = g_exitHandler;
    g_exitHandler = nullptr;
    if (!handler) return;
    int released = handler();
    // The one trace of the exit handler: seen by a debugger, never by the user.
    std::wstring line = L"StarfoldCommunityInstaller: exit handler released " + std::to_wstring(released) + L" blocks";
    OutputDebugStringW(line.c_str());
}

}  // namespace

void RegisterExitHandler(int (*handler)()) { g_exitHandler = handler; }

void EndProgram(int exitCode) {
    // Ended from inside a wait of a file write: its temporary file goes too.
    RemoveUnfinishedWrite();
    RunExitHandlerOnce();
    ReleaseGuiLayer();
    ExitProcess(static_cast<UINT>(exitCode));
}
