#include "app/main_window.h"
#include "app/shell.h"

#include <ole2.h>

#include <string>

namespace {

DWORD g_guiThread = 0;
bool g_oleInitialised = false;

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

}  // namespace

// The manifest's class redirection brings in the version 6 controls when the
// first one is created; nothing needs to load them earlier.
void InitialiseGuiLayer() {
    g_guiThread = GetCurrentThreadId();
    std::wstring folder = ProgramFolder();
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
}

void InitialiseOle() {
    if (!g_oleInitialised) g_oleInitialised = SUCCEEDED(OleInitialize(nullptr));
}

void ReleaseGuiLayer() {
    if (GetCurrentThreadId() != g_guiThread) return;
    CloseMainWindow();
    if (g_oleInitialised) OleUninitialize();
    g_oleInitialised = false;
}
