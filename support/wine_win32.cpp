#include "support/wine.h"

#include "support/processes.h"
#include "support/win32/paths.h"
#include "support/win32/wide_text.h"

#include <windows.h>

namespace {

// Wine's code page of Unix file names (its CP_UNIXCP), in which
// wine_get_dos_file_name reads the path it is given.
constexpr UINT kUnixFileNameCodePage = 65010;

// Wine's own exports exist only under Wine: looked up, never imported.
FARPROC WineExport(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

std::string UnixFileName(const std::wstring& wide) {
    int length = WideCharToMultiByte(kUnixFileNameCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string name(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kUnixFileNameCodePage, 0, wide.data(), static_cast<int>(wide.size()), name.data(), length,
                        nullptr, nullptr);
    return name;
}

}  // namespace

bool RunsUnderWine() {
    static const bool wine = WineExport(L"ntdll.dll", "wine_get_version") != nullptr;
    return wine;
}

Text UnixHomeFolder() {
    static const char kNtPrefix[] = "\\??\\";
    Text home = RunsUnderWine() ? EnvironmentVariable("WINEHOMEDIR") : Text();
    if (home.rfind(kNtPrefix, 0) != 0) return Text();
    home.erase(0, sizeof kNtPrefix - 1);
    std::wstring wide;
    if (!WideAbsolutePath(home, &wide)) return Text();
    return home.back() == '\\' ? home : home + '\\';
}

Text DosPathFromUnix(const Text& unixPath) {
    using ToDos = WCHAR*(CDECL*)(const char*);
    static const auto toDos = reinterpret_cast<ToDos>(WineExport(L"kernel32.dll", "wine_get_dos_file_name"));
    if (!toDos || unixPath.empty() || unixPath[0] != '/') return Text();
    std::string name = UnixFileName(WideFromGbk(unixPath));
    WCHAR* dos = name.empty() ? nullptr : toDos(name.c_str());
    if (!dos) return Text();
    Text path;
    bool named = GbkFromWide(dos, &path);
    HeapFree(GetProcessHeap(), 0, dos);
    return named ? path : Text();
}
