#include "support/files.h"

#include "support/retry_while_held.h"
#include "support/win32/alive_wait.h"
#include "support/win32/paths.h"
#include "support/win32/wide_text.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <new>
#include <string>

namespace {

// SpecialFolder codes 1 to 8 and the shell folder each one names.
constexpr int kShellFolders[] = {CSIDL_PERSONAL, CSIDL_FAVORITES, CSIDL_DESKTOPDIRECTORY, CSIDL_FONTS,
                                 CSIDL_STARTMENU, CSIDL_PROGRAMS, CSIDL_STARTUP, CSIDL_APPDATA};

// Texts and byte arrays are counted with 32-bit integers; a larger file is not read.
constexpr LONGLONG kLargestFile = INT_MAX;
constexpr DWORD kLargestRequest = 1u << 30;

std::wstring WideSystemFolder(UINT(WINAPI* folder)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH];
    UINT length = folder(buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

std::wstring WideFolder(int code) {
    if (code >= 1 && code <= 8) {
        wchar_t buffer[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, buffer, kShellFolders[code - 1], FALSE)) return std::wstring();
        return buffer;
    }
    if (code == 9) return WideSystemFolder(GetWindowsDirectoryW);
    if (code == 10) return WideSystemFolder(GetSystemDirectoryW);
    if (code == 11) {
        wchar_t buffer[MAX_PATH + 1];
        DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
        return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(buffer, length);
    }
    return std::wstring();
}

bool WriteAll(HANDLE file, const ByteArray& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD request = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kLargestRequest));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, request, &written, nullptr) || written != request) return false;
        done += written;
    }
    return true;
}

enum class TargetState { Missing, Replaceable, Held, Blocked };

// What another program's open handle gives: a scanner or the game holding the
// file for a moment, or a deletion that is still going on.
bool IsHeld(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

// The target is opened the way a direct overwrite would open it, exclusively
// for writing: a read-only file, a folder or a missing parent folder block the
// write before anything is created; a file that someone holds open is held.
TargetState ProbeTarget(const std::wstring& target) {
    // Asked first: where the attribute is not enforced (Wine run as root), the open below succeeds.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return TargetState::Blocked;
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return TargetState::Replaceable;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? TargetState::Missing : IsHeld(error) ? TargetState::Held : TargetState::Blocked;
}

// The name the existing target has on disk, so that replacing it through
// another spelling (case, short name) keeps the name it had.
std::wstring ExistingName(const std::wstring& folder, const std::wstring& target) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(target.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return target;
    FindClose(search);
    return folder + L"\\" + found.cFileName;
}

// A new file beside the target whose name no other writer uses: the process
// id and a counter, and CREATE_NEW so that a leftover file is never reused.
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring* path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; attempt++) {
        *path = folder + L"\\~sf" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
                L".tmp";
        HANDLE file = CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The temporary file of the write that is under way, while it waits for its target.
std::wstring g_unfinishedWrite;

// One try at putting the written file in the target's place, in one step.
Attempt ReplaceTarget(const std::wstring& written, const std::wstring& folder, const std::wstring& target) {
    TargetState state = ProbeTarget(target);
    if (state == TargetState::Held) return Attempt::Held;
    if (state == TargetState::Blocked) return Attempt::Failed;
    std::wstring destination = state == TargetState::Replaceable ? ExistingName(folder, target) : target;
    if (MoveFileExW(written.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Attempt::Done;
    return IsHeld(GetLastError()) ? Attempt::Held : Attempt::Failed;
}

// The names in the folder whose folder attribute is the one asked for, "."
// and ".." left out, as are names without a GBK form.
std::vector<Text> EntryNames(const Text& folder, DWORD folderAttribute) {
    std::vector<Text> names;
    std::wstring wide;
    if (!WideAbsolutePath(folder, &wide)) return names;
    if (wide.back() != L'\\') wide += L'\\';
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((wide + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        Text gbkName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == folderAttribute && name != L"." && name != L".." &&
            GbkFromWide(name, &gbkName))
            names.push_back(gbkName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

}  // namespace

Text SpecialFolder(int code) {
    std::wstring folder = WideFolder(code);
    if (folder.empty()) return Text();
    Text path = GbkPathFromWide(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::optional<Text> LocalLowFolder() {
    wchar_t* folder = nullptr;
    std::optional<Text> path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, 0, nullptr, &folder))) path = GbkPathFromWide(folder);
    CoTaskMemFree(folder);
    if (path && !path->empty() && path->back() != '\\') *path += '\\';
    return path;
}

ByteArray ReadFileBytes(const Text& path, bool* readWhole) {
    if (readWhole) *readWhole = false;
    std::wstring wide;
    if (!WideAbsolutePath(path, &wide)) return ByteArray();
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ByteArray();

    ByteArray bytes;
    LARGE_INTEGER size;
    bool sized = GetFileSizeEx(file, &size) != FALSE;
    if (readWhole) *readWhole = sized && size.QuadPart == 0;
    if (sized && size.QuadPart > 0 && size.QuadPart <= kLargestFile) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            bytes.clear();
        }
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD request = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kLargestRequest));
            DWORD read = 0;
            if (!ReadFile(file, bytes.data() + done, request, &read, nullptr) || read == 0) break;
            done += read;
        }
        if (readWhole) *readWhole = done == static_cast<size_t>(size.QuadPart);
        bytes.resize(done);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const Text& path, std::initializer_list<ByteArray> parts) {
    std::wstring target;
    if (!WideAbsolutePath(path, &target)) return false;
    size_t slash = target.rfind(L'\\');
    if (slash + 1 == target.size()) return false;
    std::wstring folder = target.substr(0, slash);

    if (ProbeTarget(target) == TargetState::Blocked) return false;

    std::wstring temporaryPath;
    HANDLE temporary = CreateTemporaryFile(folder, &temporaryPath);
    if (temporary == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (const ByteArray& part : parts) written = written && WriteAll(temporary, part);
    written = written && FlushFileBuffers(temporary);
    written = CloseHandle(temporary) && written;
    // A target held open for a moment is waited for, with the windows alive.
    g_unfinishedWrite = temporaryPath;
    written = written && RetryWhileHeld([&] { return ReplaceTarget(temporaryPath, folder, target); },
                                        PauseWithWindowsAlive);
    g_unfinishedWrite.clear();
    if (!written) DeleteFileW(temporaryPath.c_str());
    return written;
}

void RemoveUnfinishedWrite() {
    if (!g_unfinishedWrite.empty()) DeleteFileW(g_unfinishedWrite.c_str());
    g_unfinishedWrite.clear();
}

Text ShortPath(const Text& path) {
    std::wstring wide;
    if (!WideAbsolutePath(path, &wide)) return Text();
    std::wstring shortPath = WideShortPath(wide);
    Text text;
    return !shortPath.empty() && GbkFromWide(shortPath, &text) ? text : Text();
}

bool FileExists(const Text& path) {
    std::wstring wide;
    if (!WideAbsolutePath(path, &wide)) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool CreateFolder(const Text& path) {
    std::wstring wide;
    return WideAbsolutePath(path, &wide) && CreateDirectoryW(wide.c_str(), nullptr);
}

bool RemoveFile(const Text& path) {
    std::wstring wide;
    return WideAbsolutePath(path, &wide) && DeleteFileW(wide.c_str());
}

std::vector<Text> SubfolderNames(const Text& folder) { return EntryNames(folder, FILE_ATTRIBUTE_DIRECTORY); }

std::vector<Text> FileNames(const Text& folder) { return EntryNames(folder, 0); }

std::optional<FolderId> FileSystemIdOf(const Text& folder) {
    std::wstring wide;
    if (!WideAbsolutePath(folder, &wide)) return std::nullopt;
    // Opened for no access at all, only to be asked which folder it is.
    HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(handle, &information) &&
                 (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(handle);
    if (!known) return std::nullopt;
    return FolderId{information.dwVolumeSerialNumber,
                    (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}
