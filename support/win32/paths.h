// Paths at the Win32 boundary: which paths the file operations accept, and
// how a path from Windows becomes a GBK text without losing characters.
#pragma once

#include "support/text.h"

#include <string>

// A drive letter with a backslash ("C:\...") or a UNC share ("\\server\share").
bool IsAbsolutePath(const std::wstring& path);

// The wide form of a GBK path; false when it is empty or relative.
bool WideAbsolutePath(const Text& path, std::wstring* wide);

// The short 8.3 form of an existing path; empty when it has none.
std::wstring WideShortPath(const std::wstring& path);

// The path as GBK. A path that GBK cannot hold gives its short 8.3 form when
// that form fits GBK (the path must exist then), and the empty text otherwise.
Text GbkPathFromWide(const std::wstring& path);
