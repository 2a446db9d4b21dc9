// Helpers for the Wine tests of the support operations: scratch folders on
// the prefix's drive, reads and writes that bypass the code under test,
// message boxes of a thread or process, and the helper programs.
#pragma once

#include "support/text.h"

#include <windows.h>

#include <string>
#include <vector>

std::wstring Wide(const Text& gbk);
Text Gbk(const std::wstring& wide);
ByteArray BytesOf(const Text& text);

// A fresh folder under the temporary folder, removed with its tree at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const Text& path() const { return path_; }  // no trailing backslash
    const std::wstring& wide() const { return wide_; }
    Text operator/(const Text& name) const { return path_ + "\\" + name; }
    std::wstring operator/(const std::wstring& name) const { return wide_ + L"\\" + name; }

private:
    std::wstring wide_;
    Text path_;
};

// Changes the current folder and puts the old one back at the end.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder);
    ~CurrentFolder();

private:
    std::wstring previous_;
};

// Sets an environment variable of this process, restored at the end.
class EnvironmentValue {
public:
    EnvironmentValue(const wchar_t* name, const std::wstring& value);
    ~EnvironmentValue();

private:
    std::wstring name_;
    std::wstring previous_;
    bool hadValue_;
};

bool ReadDirectly(const std::wstring& path, ByteArray* bytes);  // false when it cannot be opened
bool WriteDirectly(const std::wstring& path, const ByteArray& bytes);
std::vector<std::wstring> FolderEntries(const std::wstring& folder);  // sorted, without "." and ".."
void RemoveTree(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool Exists(const std::wstring& path);
// The long form of an existing path, for comparing a short path with the original.
std::wstring LongPath(const std::wstring& path);

// Waits up to timeoutMs for a message box (class #32770) of the process, or
// of the thread when threadId is not 0; nullptr when none appeared.
HWND WaitForDialog(DWORD processId, DWORD threadId, DWORD timeoutMs);
std::wstring WindowText(HWND window);  // asks the window, so it works across processes
std::wstring DialogMessage(HWND box);
void PressButton(HWND box, int buttonId);

// A program built beside the test programs, by its path relative to them.
std::wstring HelperProgram(const std::wstring& relativePath);
