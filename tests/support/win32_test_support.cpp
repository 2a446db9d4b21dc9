#include "tests/support/win32_test_support.h"

#include "support/win32/wide_text.h"

#include <algorithm>

std::wstring Wide(const Text& gbk) { return WideFromGbk(gbk); }

Text Gbk(const std::wstring& wide) {
    Text text;
    GbkFromWide(wide, &text);
    return text;
}

ByteArray BytesOf(const Text& text) { return ByteArray(text.begin(), text.end()); }

ScratchFolder::ScratchFolder() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    for (;;) {
        wide_ = std::wstring(temp) + L"sf-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        if (CreateDirectoryW(wide_.c_str(), nullptr)) break;
    }
    path_ = Gbk(wide_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(wide_); }

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

bool ReadDirectly(const std::wstring& path, ByteArray* bytes) {
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes->insert(bytes->end(), chunk, chunk + read);
    CloseHandle(file);
    return true;
}

bool WriteDirectly(const std::wstring& path, const ByteArray& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    return CloseHandle(file) && ok;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::wstring& name : FolderEntries(path)) RemoveTree(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring LongPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length == 0 || length >= MAX_PATH * 2 ? std::wstring() : std::wstring(buffer, length);
}

namespace {

struct DialogSearch {
    DWORD processId;
    DWORD threadId;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (processId == search->processId && (search->threadId == 0 || threadId == search->threadId) &&
        std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForDialog(DWORD processId, DWORD threadId, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        DialogSearch search = {processId, threadId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                             &length))
        return std::wstring();
    return std::wstring(buffer, std::min<DWORD_PTR>(length, 1023));
}

std::wstring DialogMessage(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::wstring();
}

void PressButton(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

std::wstring HelperProgram(const std::wstring& relativePath) {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self, length);
    return folder.substr(0, folder.rfind(L'\\') + 1) + relativePath;
}
