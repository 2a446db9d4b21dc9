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

// Wine keeps the Unix path of every file it opens with its links resolved;
// the final path of the handle is that path's DOS form, which Wine turns back.
Text CanonicalUnixFolderPath(const Text& folder) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    static const auto toUnix = reinterpret_cast<ToUnix>(WineExport(L"kernel32.dll", "wine_get_unix_file_name"));
    std::wstring wide;
    if (!toUnix || !WideAbsolutePath(folder, &wide)) return Text();
    // The attributes, not the handle's information: Wine reads the mount table for the
    // volume serial in that, which costs a search of 500 prefixes several times over.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Text();
    HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Text();
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
    if (length >= final.size()) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
    }
    CloseHandle(handle);
    if (length == 0 || length >= final.size()) return Text();
    final.resize(length);
    char* named = toUnix(final.c_str());
    if (!named) return Text();
    Text unixPath = named;
    HeapFree(GetProcessHeap(), 0, named);
    return unixPath;
}
