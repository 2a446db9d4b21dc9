// Doubles behind the real start-up and shutdown code in a test program of
// its own: they report what they see as debugger output, and the
// environment tells them what to do, so that a test can drive each way out.
//   STARFOLD_HOST_SCRIPT   steps of the start-up sequence: fill, click-install, end=N
//   STARFOLD_HOST_INSTALL  end=N: the install command ends the program
//   STARFOLD_HOST_REFUSE   a window class whose windows cannot be created
#include "app/main_window.h"
#include "app/one_instance.h"
#include "install/install_command.h"
#include "install/uninstall_command.h"
#include "model/layout_switches.h"
#include "model/program_state.h"
#include "model/shutdown.h"
#include "startup/startup_sequence.h"
#include "support/runtime_error.h"
#include "tests/win32/window_input.h"

#include <ole2.h>
#include <windows.h>

#include <sstream>
#include <string>

namespace {

std::string Environment(const char* name) {
    char value[256] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

void Report(const std::string& line) { OutputDebugStringA(("host: " + line).c_str()); }

bool OleInitialisedHere() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == RPC_E_CHANGED_MODE;
}

std::string CurrentDirectory() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

void RunSteps(const std::string& script) {
    std::istringstream steps(script);
    std::string step;
    while (std::getline(steps, step, ',')) {
        if (step == "fill") {
            State().VersionReply = ToBytes("1.0");
            State().ConfigBytes = ToBytes("{}");
            State().ServerListBytes = ToBytes("[]");
        } else if (step == "click-install") {
            PostMessageW(ControlWindow(Control::按钮1), BM_CLICK, 0, 0);
        } else if (step.rfind("end=", 0) == 0) {
            EndProgram(std::stoi(step.substr(4)));
        }
    }
}

// Before wWinMain, on the thread that will create the window.
const std::string g_refused = Environment("STARFOLD_HOST_REFUSE");
const bool g_refusing = !g_refused.empty() && RefuseWindowClass(std::wstring(g_refused.begin(), g_refused.end()));

}  // namespace

void StartupSequence() {
    Report("startup visible=" + std::to_string(IsWindowVisible(MainWindow()) ? 1 : 0) +
           " controls=" + std::to_string(ControlWindow(Control::超文本浏览框1) ? 1 : 0) +
           " ole=" + std::to_string(OleInitialisedHere() ? 1 : 0) + " cwd=" + CurrentDirectory());
    RunSteps(Environment("STARFOLD_HOST_SCRIPT"));
}

void InstallCommand() {
    Report("InstallCommand");
    RunSteps(Environment("STARFOLD_HOST_INSTALL"));
}

void UninstallCommand() { Report("UninstallCommand"); }
void VoiceChatSectionSwitch() { Report("VoiceChatSectionSwitch"); }
void SidePanelSwitch() { Report("SidePanelSwitch"); }
void SiteLink(int, int, int) { Report("SiteLink"); }

// Shell tests run side by side, and beside the installer.
bool ClaimOnlyInstance() { return true; }
void ShowRunningInstance() {}

void ReportRuntimeError(std::optional<int> errorNumber, const std::optional<Text>& message) {
    Report("runtime error: " + RuntimeErrorText(errorNumber, message));
    ExitProcess(static_cast<UINT>(-1));
}
