// Wine prefixes as a Windows program under Wine reaches them: a folder both
// by its DOS path and by the Unix path Linux names it by, and whether the
// game has run in a prefix. Shared by the modules that know where Steam and
// the other launchers keep their prefixes.
#pragma once

#include "support/text.h"

#include <optional>
#include <set>
#include <vector>

struct FolderId;

// A folder as the program reaches it and as Linux names it.
struct UnixFolder {
    Text dos;   // ending in a backslash
    Text unix;  // without a trailing slash; empty when unknown
};

// A prefix where the game has run.
struct WinePrefix {
    Text localLow;  // the LocalLow folder of the prefix's user, a DOS path ending in a backslash
    Text unixPath;  // the prefix as Linux names it
};

// Under Wine, the Unix home's Unix path (without a trailing slash), from the
// DOS path of the home on drive Z:; nothing elsewhere.
std::optional<Text> UnixFormOf(const Text& dosFolder);

// A Unix path (GBK) as the program reaches it; nothing when it names no place.
std::optional<UnixFolder> FolderFromUnix(Text unixPath);

// A path that a launcher's record names, in UTF-8: absolute, or under the
// Unix home ("~/..."). Nothing when it has no GBK form or names no place.
std::optional<UnixFolder> FolderFromRecord(const Text& utf8Path, const UnixFolder& home);

// The folder under the given one, by its relative Unix path ("a/b").
UnixFolder Below(const UnixFolder& folder, const Text& relativeUnixPath);

// The first time this folder is met under any of its names. A missing
// folder, or a link that loops, is never met.
bool FirstMeeting(const Text& dosFolder, std::set<FolderId>* met);

// Adds the prefix when the game's folder (a path relative to LocalLow) is in
// the LocalLow of one of the users named: drive_c/users/<user>/AppData/LocalLow.
// The users are named, not listed: a listing costs Wine several times a look-up.
void AddIfGameRan(const UnixFolder& prefix, const std::vector<Text>& users, const Text& localLowFolder,
                  std::vector<WinePrefix>* prefixes);
