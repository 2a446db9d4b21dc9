// A library planted beside a downloaded installer under the name of a system
// library. It exports nothing; loaded, it leaves "<its own path>.loaded".
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(library, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    std::wstring mark = std::wstring(path, length) + L".loaded";
    HANDLE file = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
