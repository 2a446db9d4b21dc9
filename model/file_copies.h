// Files of the player's that the installer replaces keep a copy of what they
// held, which the uninstall puts back.
#pragma once

#include "support/text.h"

// Before the file is replaced: writes what it holds to the file of the same
// name with ".bak" added, unless the file is missing or that copy exists
// already. A copy that exists holds the player's own file from before this
// installer first replaced it; the game and Voxbridge save their files again
// between runs, so a later copy would hold one of ours. False when a copy
// was due and could not be made whole: the file must then stay as it is.
bool KeepCopyBeforeReplacing(const Text& path);

enum class PutBack {
    NoCopy,  // no copy is kept: nothing was done
    Done,    // the file holds the copy's bytes again, and the copy is gone
    Failed,  // the copy could not be read whole or written: both stay as they were
};

// Puts the copy kept of the file back in its place, in one step, then
// removes the copy, so that the next replace keeps the file then found.
PutBack PutBackKeptCopy(const Text& path);
