// The program's entry: start-up in its fixed order, then the message loop;
// every way out goes through EndProgram.
#include "app/main_window.h"
#include "app/one_instance.h"
#include "app/shell.h"
#include "model/program_state.h"
#include "model/shutdown.h"
#include "support/runtime_error.h"
#include "support/win32/system_libraries.h"

namespace {

// The program does all its work in window events; nothing runs before the window.
int StartSubroutine() { return 0; }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictLibrariesToSystemFolder();
    // A second start asks nothing and leaves the running installer as it is.
    if (!ClaimOnlyInstance()) {
        ShowRunningInstance();
        return 0;
    }
    InitialiseGuiLayer();
    State() = ProgramState();
    RegisterExitHandler(ExitHandler);
    StartSubroutine();
    if (!LoadStartWindow()) ReportRuntimeError(LeftOut, "载入启动窗口失败");
    RunMessageLoop();
    EndProgram(0);
}
