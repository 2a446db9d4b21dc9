// Folders and files the driver prepares and inspects for a scenario.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A path of the Linux host (as CMake knows it) in the form Wine gives it on drive Z:.
std::wstring WindowsPathFromUnix(const std::string& unixPath);

bool CreateFolderTree(const std::wstring& folder);
// Deletes the folder with everything in it; true when it is gone afterwards.
bool RemoveFolderTree(const std::wstring& folder);
bool PathExists(const std::wstring& path);

std::optional<std::string> ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// The names in a folder, without "." and "..", in the order Windows gives them.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);

// The lines of a text file without their line ends; none when it is missing.
std::vector<std::string> ReadLines(const std::wstring& path);
