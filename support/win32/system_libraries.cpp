#include "support/win32/system_libraries.h"

#include <string>

// Windows' own libraries then load theirs (the visual styles, the browser's
// parts) from the system folder too.
// SetDefaultDllDirectories came to Windows 7 with an update (KB2533623):
// looked up, not imported, so that the program starts without it; there the
// current folder at least is taken out of the search.
void RestrictLibrariesToSystemFolder() {
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    auto restrict = reinterpret_cast<SetDefaultDirectories>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    if (!restrict || !restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

// From the system folder by name; by its full path where Windows 7 lacks the
// update that brought that search, and then the libraries it needs are
// looked for beside it, not in the program's folder.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
