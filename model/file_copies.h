// Files of the player's that the installer replaces keep a copy of what they
// held, so that a player can put it back by hand.
#pragma once

#include "support/text.h"

// Before the file is replaced by `replacement`: writes what it holds to the
// file of the same name with ".bak" added, unless it is missing or holds
// those very bytes already (so that a second run keeps the player's copy).
// False when a copy was due and could not be made: the file must then stay.
bool KeepCopyBeforeReplacing(const Text& path, const ByteArray& replacement);
