// Where the game Starfold keeps the files that the installer writes and
// deletes. Each path is built anew from the user's folders when it is asked for.
#pragma once

#include "support/text.h"

// The folder the game's files lie under, ending in a backslash; the empty
// text when the user's folders cannot be had or named.
Text GameDataRoot();

Text MakerFolderPath();  // with a trailing backslash
Text GameFolderPath();   // without one
Text RegionFilePath();
Text SettingsFilePath();
Text UnityFolderPath();
