// Where the program's libraries come from: the system folder, never the
// program's own folder or the current one, where a downloaded file could
// have been planted beside the installer.
#pragma once

#include <windows.h>

// Restricts every later library load of the process, Windows' own included,
// to the system folder; on a Windows 7 that cannot (without KB2533623), takes
// the current folder out of the search. The first thing the program does.
void RestrictLibrariesToSystemFolder();

// Loads a library by its file name from the system folder; nullptr when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);
