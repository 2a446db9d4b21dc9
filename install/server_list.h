// What the install takes for a community server list: the game's region
// file, a JSON object whose member Regions is a non-empty array of objects.
#pragma once

#include "support/text.h"

// True for such a list, a UTF-8 byte-order mark before it allowed. Other
// members, and what the regions hold, are the game's business. Judged as the
// parser reads: nothing is built, and nesting beyond 64 levels is refused.
bool IsServerList(const ByteArray& bytes);
