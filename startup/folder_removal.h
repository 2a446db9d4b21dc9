// Removing a folder tree through a self-deleting batch file, and the small
// routines that go with it.
#pragma once

#include "support/text.h"

// Removes the folder tree when it exists, by writing Speed.bat into the
// temporary folder and running it hidden; returns when the batch file has
// ended. Nothing is run when Speed.bat cannot be written. The folder may or
// may not end in a backslash.
void RemoveFolderByBatch(const Text& folder);

// FileExists of the path without one trailing backslash.
bool FolderExists(const Text& path);

// The temporary folder with its trailing backslash, or the empty text when
// none can be had (the call failed, or the path does not fit its buffer).
Text TempFolderPath();
