// Where Steam keeps things on Linux and the Steam Deck, as a Windows program
// that Wine runs reaches them: the Steam folders, the libraries each lists and
// the Proton prefixes in each library. Only this module knows Steam's layout.
// A folder that is missing, a file that is not KeyValues, a link that loops or
// a path without a GBK form is skipped and the search goes on; it never goes
// deeper than the layout's fixed levels.
#pragma once

#include "model/wine_prefix.h"
#include "support/text.h"

#include <vector>

// The libraries that a steamapps/libraryfolders.vdf lists, as they stand there
// (Unix paths in UTF-8), in the file's order: the "path" of each numbered
// block, or the value of each numbered key in the old form. None when the file
// is not KeyValues, or is larger than any list of Steam (1 MiB).
std::vector<Text> LibraryPathsIn(const ByteArray& libraryFolders);

// Under Wine: the Proton prefixes (<library>/steamapps/compatdata/<id>/pfx)
// whose LocalLow holds the folder (a relative path), in every library of every Steam folder, each library once. None on
// Windows.
std::vector<WinePrefix> ProtonPrefixesHolding(const Text& localLowFolder);
