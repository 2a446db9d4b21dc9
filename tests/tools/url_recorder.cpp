// Stands in for a browser in tests: appends the address it is opened with as
// one UTF-8 line to the file named by STARFOLD_URL_RECORD, and opens no window.
// Registered as the handler of a scheme, it is started as
// "url_recorder.exe" "%1"; an unquoted address split at spaces is joined again.
#include "tests/win32/files.h"
#include "tests/win32/wide_utf8.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

constexpr DWORD kLongestValue = 32768;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2) return 1;
    std::wstring address = args[1];
    for (int i = 2; i < count; i++) address += L" " + std::wstring(args[i]);
    LocalFree(args);

    std::wstring record(kLongestValue, L'\0');
    DWORD length = GetEnvironmentVariableW(L"STARFOLD_URL_RECORD", record.data(), kLongestValue);
    if (length == 0 || length >= kLongestValue) return 1;
    record.resize(length);

    // Two recorders may run at once: each appends its line whole.
    return AppendToFile(record, Utf8FromWide(address) + "\n") ? 0 : 2;
}
