#include "tests/app/handler_doubles.h"

#include "install/install_command.h"
#include "install/uninstall_command.h"
#include "model/layout_switches.h"
#include "startup/startup_sequence.h"

#include <map>

namespace {

std::map<std::string, std::function<void()>>& Actions() {
    static std::map<std::string, std::function<void()>> actions;
    return actions;
}

void Record(HandlerCall call) {
    HandlerCalls().push_back(call);
    auto action = Actions().find(call.handler);
    if (action != Actions().end()) action->second();
}

void Record(const char* handler) { Record(HandlerCall{handler}); }

}  // namespace

std::vector<HandlerCall>& HandlerCalls() {
    static std::vector<HandlerCall> calls;
    return calls;
}

std::vector<std::string> HandlerNames() {
    std::vector<std::string> names;
    for (const HandlerCall& call : HandlerCalls()) names.push_back(call.handler);
    return names;
}

void WhileHandlerRuns(const std::string& handler, std::function<void()> action) {
    Actions()[handler] = std::move(action);
}

void ResetHandlerDoubles() {
    HandlerCalls().clear();
    Actions().clear();
}

void StartupSequence() { Record("StartupSequence"); }
void VoiceChatSectionSwitch() { Record("VoiceChatSectionSwitch"); }
void SidePanelSwitch() { Record("SidePanelSwitch"); }
void SiteLink(int x, int y, int keyState) { Record(HandlerCall{"SiteLink", x, y, keyState}); }
void InstallCommand() { Record("InstallCommand"); }
void UninstallCommand() { Record("UninstallCommand"); }
