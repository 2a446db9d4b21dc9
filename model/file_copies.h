// Files of the player's that the installer replaces outright (Voxbridge's
// configuration, the game's settings) keep a copy of what they held.
#pragma once

#include "support/text.h"

// Before the file is replaced: writes what it holds to the file of the same
// name with ".bak" added, unless the file is missing or that copy exists
// already. A copy that exists holds the player's own file from before this
// installer first replaced it; the game and Voxbridge save their files again
// between runs, so a later copy would hold one of ours. False when a copy
// was due and could not be made whole: the file must then stay as it is.
bool KeepCopyBeforeReplacing(const Text& path);
