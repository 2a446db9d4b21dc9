#include "model/game_paths.h"

#include "support/files.h"

// The game keeps its data in LocalLow, which Windows names apart from the
// roaming folder: either may be redirected. Where Windows names no LocalLow,
// the one beside the roaming folder stands in; the relative part stays in
// the path and the file system resolves it.
Text GameDataRoot() {
    Text localLow = LocalLowFolder();
    if (!localLow.empty()) return localLow;
    Text roaming = SpecialFolder(kRoamingFolder);
    return roaming.empty() ? Text() : roaming + "..\\LocalLow\\";
}

Text MakerFolderPath() { return GameDataRoot() + "Mossgrove\\"; }
Text GameFolderPath() { return GameDataRoot() + "Mossgrove\\Starfold"; }
Text RegionFilePath() { return GameFolderPath() + "\\regionInfo.json"; }
Text SettingsFilePath() { return GameFolderPath() + "\\settings.tallow"; }
Text UnityFolderPath() { return GameDataRoot() + "Unity"; }
