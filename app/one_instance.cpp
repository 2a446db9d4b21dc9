#include "app/one_instance.h"

#include "app/window_ids.h"
#include "model/game_paths.h"

#include <windows.h>

#include <string>

namespace {

// Two installers conflict over the player's files and the questions they
// ask: the claim is on the folder the game's files lie under, as the program
// resolves it (not as a variable that a launcher may spell otherwise names
// it), in the session's own namespace.
std::wstring InstanceMutexName() {
    const Text folder = GameDataRoot();
    // FNV-1a of the folder, ignoring ASCII case as the file system does.
    unsigned long long hash = 14695981039346656037ull;
    for (size_t at = 0; at < folder.size(); ++at) {
        auto byte = static_cast<unsigned char>(folder[at]);
        // The second byte of a two-byte character is no letter.
        bool lead = byte >= 0x80;
        hash = (hash ^ (byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte)) * 1099511628211ull;
        if (lead && at + 1 < folder.size()) hash = (hash ^ static_cast<unsigned char>(folder[++at])) * 1099511628211ull;
    }
    return std::wstring(L"Local\\" STARFOLD_WINDOW_CLASS L"-") + std::to_wstring(hash);
}

// The running installer may still be creating its window.
constexpr int kWindowPolls = 50;
constexpr DWORD kWindowPollMs = 100;

HWND FindRunningWindow() {
    HWND window = nullptr;
    for (int poll = 0; poll < kWindowPolls && !window; ++poll) {
        window = FindWindowW(STARFOLD_WINDOW_CLASS, STARFOLD_WINDOW_TITLE);
        // This process has no window yet: a plain sleep freezes nothing.
        if (!window) Sleep(kWindowPollMs);
    }
    return window;
}

// A message box disables the window; the box is the window to answer.
HWND WindowToAnswer(HWND window) {
    if (IsWindowEnabled(window)) return window;
    HWND answer = window;
    EnumThreadWindows(
        GetWindowThreadProcessId(window, nullptr),
        [](HWND candidate, LPARAM found) -> BOOL {
            if (!IsWindowVisible(candidate) || !IsWindowEnabled(candidate)) return TRUE;
            *reinterpret_cast<HWND*>(found) = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&answer));
    return answer;
}

}  // namespace

bool ClaimOnlyInstance() {
    // Kept open until the process ends, which releases the claim.
    SetLastError(ERROR_SUCCESS);
    HANDLE claim = CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str());
    DWORD error = GetLastError();
    if (claim) return error != ERROR_ALREADY_EXISTS;
    // Held under rights this process lacks: another installer all the same.
    // Any other failure lets the installer run rather than never.
    return error != ERROR_ACCESS_DENIED;
}

void ShowRunningInstance() {
    HWND window = FindRunningWindow();
    if (!window) return;
    // Asynchronous: the running installer's thread may be busy with a handler.
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    SetForegroundWindow(window);
    HWND box = WindowToAnswer(window);
    if (box != window) SetForegroundWindow(box);
}
