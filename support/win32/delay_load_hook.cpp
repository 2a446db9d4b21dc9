// The delay-load helper's hook, linked into every program that delay-imports
// a library (cmake/DelayLoad.cmake). Left to itself the helper loads a
// library by its bare name, which searches the program's folder first where
// Windows 7 lacks the system-folder search (KB2533623): a library planted in
// a downloads folder would be loaded.
#include "support/win32/dll_binding.h"
#include "support/win32/system_libraries.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

namespace {

// Each library from the system folder by its full path, and each function
// looked up in it; what is missing ends the program through the run-time
// error report rather than an exception that nothing catches.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary && notification != dliNotePreGetProcAddress) return nullptr;
    std::string function = info->dlp.fImportByName ? info->dlp.szProcName : "#" + std::to_string(info->dlp.dwOrdinal);
    if (notification == dliNotePreLoadLibrary) {
        std::wstring name(info->szDll, info->szDll + std::char_traits<char>::length(info->szDll));
        HMODULE library = LoadSystemLibrary(name.c_str());
        if (!library) ReportMissingDllFunction(info->szDll, function.c_str());
        return reinterpret_cast<FARPROC>(library);
    }
    const char* wanted = info->dlp.fImportByName ? info->dlp.szProcName : MAKEINTRESOURCEA(info->dlp.dwOrdinal);
    FARPROC address = GetProcAddress(info->hmodCur, wanted);
    if (!address) ReportMissingDllFunction(info->szDll, function.c_str());
    return address;
}

}  // namespace

// The helper's own definition is an empty one in the runtime library; this
// one, linked before it, is taken instead.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
}
