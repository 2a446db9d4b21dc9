// taskkill.exe for the scenarios, laid beside the installer where a
// downloaded file could lie: it ends nothing and only leaves a mark, a file
// "taskkill-ran.txt" beside itself holding its command line, that it ran.
#include "tests/win32/files.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring line = std::wstring(GetCommandLineW()) + L"\r\n";
    std::string bytes(reinterpret_cast<const char*>(line.data()), line.size() * sizeof(wchar_t));
    return AppendToFile(ProgramFolder() + L"taskkill-ran.txt", bytes) ? 0 : 1;
}
