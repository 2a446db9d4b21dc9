// A helper program for the process and direct-call tests. It opens no window
// and never waits for input, so it starts unseen and never becomes input-idle.
//   show-window FILE     writes "<STARTF_USESHOWWINDOW set> <wShowWindow>" to FILE
//   command-line FILE    writes its command line, as UTF-16, to FILE
//   sleep MS FILE        sleeps, then writes "done" to FILE
//   missing-library | missing-function | unbalanced-call | balanced-call
//                        calls through the program's own direct-call binding
#include "support/win32/dll_binding.h"
#include "tests/win32/files.h"
#include "tests/win32/waiting.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

// A function that removes 8 bytes more from the stack than it was given.
asm(R"(
    .text
    .globl ProbeUnbalanced
ProbeUnbalanced:
    retq $8
    .section .drectve
    .ascii " -export:ProbeUnbalanced"
    .text
)");

extern "C" __declspec(dllexport) std::uintptr_t ProbeAdd(std::uintptr_t first, std::uintptr_t second) {
    return first + second;
}

namespace {

int Run(int count, wchar_t** args) {
    std::wstring command = count > 1 ? args[1] : L"";
    if (command == L"show-window" && count == 3) {
        STARTUPINFOW startup = {sizeof startup};
        GetStartupInfoW(&startup);
        bool uses = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
        return WriteWholeFile(args[2], std::to_string(uses) + " " + std::to_string(startup.wShowWindow)) ? 0 : 2;
    }
    if (command == L"command-line" && count >= 3) {
        const wchar_t* line = GetCommandLineW();
        return WriteWholeFile(args[2], std::string(reinterpret_cast<const char*>(line), wcslen(line) * sizeof(wchar_t))) ? 0 : 2;
    }
    if (command == L"sleep" && count == 4) {
        Sleep(static_cast<DWORD>(_wtoi(args[2])));
        return WriteWholeFile(args[3], "done") ? 0 : 2;
    }
    // Runs until the first file appears (for a minute at most), then writes the second.
    if (command == L"wait-for" && count == 4) {
        WaitUntil(60000, [&] { return PathExists(args[2]); });
        return WriteWholeFile(args[3], "done") ? 0 : 2;
    }
    // The calls below end the process through the run-time error report; a
    // return from them shows as exit code 0.
    if (command == L"missing-library" || command == L"missing-function") {
        DllEntry entry = command == L"missing-library" ? DllEntry{"starfold-missing.dll", "GetTempPathW", nullptr}
                                                       : DllEntry{"kernel32.dll", "StarfoldMissingCommand", nullptr};
        BindDllEntry(entry);
        return 0;
    }
    if (command == L"unbalanced-call") {
        DllEntry entry = {"support_probe.exe", "ProbeUnbalanced", nullptr};
        CallDllEntry(entry, 0, 0);
        return 0;
    }
    if (command == L"balanced-call") {
        DllEntry entry = {"support_probe.exe", "ProbeAdd", nullptr};
        return static_cast<int>(CallDllEntry(entry, 40, 2));
    }
    return 3;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return 3;
    int result = Run(count, args);
    LocalFree(args);
    return result;
}
