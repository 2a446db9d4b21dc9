// Asks WinVerifyTrust whether a program's Authenticode signature holds, as
// Windows judges a download before it runs it:
//
//   authenticode_trust.exe PROGRAM.exe
//
// Prints the result (0 when trusted, else the HRESULT) and exits 0 only when
// the program is trusted. No revocation check: the test CA publishes no list.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: authenticode_trust PROGRAM.exe\n");
        return 2;
    }
    WINTRUST_FILE_INFO file = {sizeof file};
    file.pcwszFilePath = argv[1];
    WINTRUST_DATA data = {sizeof data};
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    auto result = static_cast<LONG>(WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data));
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    std::printf("WinVerifyTrust: 0x%08lx\n", static_cast<unsigned long>(result));
    return result == 0 ? 0 : 1;
}
