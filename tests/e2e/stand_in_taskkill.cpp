// taskkill.exe for the scenarios, laid beside the installer where a
// downloaded file could lie: it ends nothing and only leaves a mark, a file
// "taskkill-ran.txt" beside itself holding its command line, that it ran.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::wstring mark(self, length);
    mark = mark.substr(0, mark.find_last_of(L'\\') + 1) + L"taskkill-ran.txt";
    HANDLE file = CreateFileW(mark.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::wstring line = std::wstring(GetCommandLineW()) + L"\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
