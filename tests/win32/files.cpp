#include "tests/win32/files.h"

#include "support/win32/wide_text.h"
#include "tests/win32/wide_utf8.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

std::wstring WindowsPathFromUnix(const std::string& unixPath) {
    std::wstring path = L"Z:" + WideFromUtf8(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.rfind(L'\\') + 1);
}

namespace {

bool HasAttribute(const std::wstring& path, DWORD attribute) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute);
}

}  // namespace

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::wstring& path) { return HasAttribute(path, FILE_ATTRIBUTE_DIRECTORY); }
bool IsReadOnly(const std::wstring& path) { return HasAttribute(path, FILE_ATTRIBUTE_READONLY); }

bool SetReadOnly(const std::wstring& path, bool readOnly) {
    return SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::wstring LongPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length == 0 || length >= MAX_PATH * 2 ? std::wstring() : std::wstring(buffer, length);
}

bool CreateFolderTree(const std::wstring& folder) {
    if (folder.empty()) return false;
    if (PathExists(folder)) return IsFolder(folder);
    size_t cut = folder.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 2 && !CreateFolderTree(folder.substr(0, cut))) return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool RemoveFolderTree(const std::wstring& folder) {
    for (const std::wstring& name : FolderEntries(folder)) {
        std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (IsFolder(path)) RemoveFolderTree(path);
        else DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    return !PathExists(folder);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

namespace {

bool WriteBytes(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                written == bytes.size());
    return CloseHandle(file) && ok;
}

}  // namespace

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    return WriteBytes(path, GENERIC_WRITE, 0, CREATE_ALWAYS, bytes);
}

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
    return WriteBytes(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS, bytes);
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream text(ReadWholeFile(path).value_or(""));
    for (std::string line; std::getline(text, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r') line.pop_back();
    return lines;
}

HeldFile::HeldFile(const std::wstring& path, DWORD access, DWORD share)
    : handle_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}

HeldFile::~HeldFile() {
    if (IsOpen()) CloseHandle(handle_);
}

ScratchFolder::ScratchFolder() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    do {
        wide_ = std::wstring(temp) + L"sf-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    } while (!CreateDirectoryW(wide_.c_str(), nullptr));
    path_ = GbkFromWideReplacing(wide_);
}

CurrentFolder::CurrentFolder(const std::wstring& folder) {
    wchar_t buffer[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, buffer);
    previous_ = buffer;
    SetCurrentDirectoryW(folder.c_str());
}

CurrentFolder::~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }

EnvironmentValue::EnvironmentValue(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t buffer[32768];
    DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
    hadValue_ = length > 0 && length < 32768;
    if (hadValue_) previous_ = buffer;
    SetEnvironmentVariableW(name, value.c_str());
}

EnvironmentValue::~EnvironmentValue() { SetEnvironmentVariableW(name_.c_str(), hadValue_ ? previous_.c_str() : nullptr); }
