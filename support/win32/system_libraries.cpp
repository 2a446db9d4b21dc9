#include "support/win32/system_libraries.h"

// Windows' own libraries then load theirs (the visual styles, the browser's
// parts) from the system folder too, and so do the delay-loaded WinInet,
// Shell32 and OleAut32, which the runtime loads by their bare names.
void RestrictLibrariesToSystemFolder() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

HMODULE LoadSystemLibrary(const wchar_t* name) { return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }
