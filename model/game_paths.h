// Where the game Starfold keeps the files that the installer writes and
// deletes, and where Voxbridge keeps its configuration. Each path is built
// anew from the user's folders when it is asked for.
#pragma once

#include "support/text.h"

#include <vector>

// The folder the game's files lie under, ending in a backslash; the empty
// text when the user's folders cannot be had or named.
Text GameDataRoot();

// A place where the game keeps its files: a LocalLow folder and the name the
// reports give it.
struct GamePlace {
    Text root;   // the LocalLow folder, ending in a backslash, as GameDataRoot() gives the user's own
    Text label;  // a Proton prefix's Unix path; empty for the user's own LocalLow
};

// Every place where the game has run: the user's own LocalLow and, under
// Wine, the Proton prefixes of the machine's Steam libraries, each folder once
// whatever names lead to it. Where the game has run nowhere, the user's own
// LocalLow alone, where its folders are to be made.
std::vector<GamePlace> GamePlaces();

// Whether a Proton prefix is among the places. The reports then name each
// place; without one, the user's own LocalLow is the one place, as on Windows.
bool HasProtonPrefix(const std::vector<GamePlace>& places);

// How a report names the place: a Proton prefix by its Unix path, the user's
// own LocalLow by its folder.
Text PlaceName(const GamePlace& place);

// The game's paths in the place whose root is given, and in GameDataRoot().
Text MakerFolderPath(const Text& root);  // with a trailing backslash
Text GameFolderPath(const Text& root);   // without one
Text RegionFilePath(const Text& root);
Text RegionCopyPath(const Text& root);     // the player's own region file, kept while the list is installed
Text InstallRecordPath(const Text& root);  // what the installer did there
Text SettingsFilePath(const Text& root);
Text UnityFolderPath(const Text& root);
Text MakerFolderPath();
Text GameFolderPath();
Text RegionFilePath();
Text SettingsFilePath();
Text UnityFolderPath();

// Voxbridge's config.json in the roaming folder. Under Wine, where the
// roaming folder has none but the Unix home has one, Voxbridge for Linux
// keeps it there (~/.config/voxbridge), and that is the one.
Text VoxbridgeConfigPath();
