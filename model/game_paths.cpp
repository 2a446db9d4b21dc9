#include "model/game_paths.h"

#include "support/files.h"

// The game keeps its data in LocalLow, which Windows names apart from the
// roaming folder: either may be redirected. Only where Windows names no
// LocalLow does the one beside the roaming folder stand in; the relative part
// stays in the path and the file system resolves it. A LocalLow that the
// program cannot name is no folder at all: the game reads that one, not the
// roaming folder's neighbour.
Text GameDataRoot() {
    if (std::optional<Text> localLow = LocalLowFolder()) return *localLow;
    Text roaming = SpecialFolder(kRoamingFolder);
    return roaming.empty() ? Text() : roaming + "..\\LocalLow\\";
}

Text MakerFolderPath() { return GameDataRoot() + "Mossgrove\\"; }
Text GameFolderPath() { return GameDataRoot() + "Mossgrove\\Starfold"; }
Text RegionFilePath() { return GameFolderPath() + "\\regionInfo.json"; }
Text SettingsFilePath() { return GameFolderPath() + "\\settings.tallow"; }
Text UnityFolderPath() { return GameDataRoot() + "Unity"; }
