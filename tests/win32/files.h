// Files and folders as the tests prepare and inspect them: through the wide
// Win32 calls, never through the code under test.
#pragma once

#include "support/text.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A path of the Linux host (as CMake knows it) in the form Wine gives it on drive Z:.
std::wstring WindowsPathFromUnix(const std::string& unixPath);
// The folder of this program, with a trailing backslash: the helper programs are built beside it.
std::wstring ProgramFolder();

bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The long form of an existing path, for comparing a short path with the original.
std::wstring LongPath(const std::wstring& path);

bool IsReadOnly(const std::wstring& path);
bool SetReadOnly(const std::wstring& path, bool readOnly);

bool CreateFolderTree(const std::wstring& folder);
// Deletes the folder with everything in it, read-only files too; true when it is gone afterwards.
bool RemoveFolderTree(const std::wstring& folder);

// None when the file cannot be opened.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Creates the file if need be; appended bytes land at the end even when two programs append at once.
bool AppendToFile(const std::wstring& path, const std::string& bytes);
// The names in a folder, without "." and "..", sorted.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
// The lines of a text file without their line ends; none when it is missing.
std::vector<std::string> ReadLines(const std::wstring& path);

// A file held open by another program (the game, Voxbridge) for as long as this lives.
class HeldFile {
public:
    HeldFile(const std::wstring& path, DWORD access, DWORD share);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A fresh folder under the temporary folder, removed with its tree at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder() { RemoveFolderTree(wide_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const Text& path() const { return path_; }  // GBK, no trailing backslash
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
