#include "support/win32/paths.h"

#include "support/win32/wide_text.h"

#include <windows.h>

bool IsAbsolutePath(const std::wstring& path) {
    bool driveLetter = path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                       path[1] == L':' && path[2] == L'\\';
    if (driveLetter) return true;
    if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\') return false;
    size_t shareStart = path.find(L'\\', 2);
    return shareStart != std::wstring::npos && shareStart > 2 && shareStart + 1 < path.size() &&
           path[shareStart + 1] != L'\\';
}

bool WideAbsolutePath(const Text& path, std::wstring* wide) {
    *wide = WideFromGbk(path);
    return IsAbsolutePath(*wide);
}

std::wstring WideShortPath(const std::wstring& path) {
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::wstring();
    std::wstring shortPath(needed, L'\0');
    DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return std::wstring();
    shortPath.resize(length);
    return shortPath;
}

Text GbkPathFromWide(const std::wstring& path) {
    Text text;
    if (GbkFromWide(path, &text)) return text;
    std::wstring shortPath = WideShortPath(path);
    return !shortPath.empty() && GbkFromWide(shortPath, &text) ? text : Text();
}
