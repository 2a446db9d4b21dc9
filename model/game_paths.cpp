#include "model/game_paths.h"

#include "model/steam_library.h"
#include "support/files.h"
#include "support/wine.h"

#include <algorithm>
#include <set>

namespace {

constexpr char kGameFolder[] = "Mossgrove\\Starfold";

}  // namespace

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

// Started as a non-Steam game, the installer runs in a Proton prefix of its
// own, so its own LocalLow may be found again among the prefixes: the
// folder's identity counts it once.
std::vector<GamePlace> GamePlaces() {
    const GamePlace own = {GameDataRoot(), Text()};
    std::vector<GamePlace> found = {own};
    for (const ProtonPrefix& prefix : ProtonPrefixesHolding(kGameFolder)) found.push_back({prefix.localLow, prefix.unixPath});
    std::vector<GamePlace> places;
    std::set<FolderId> met;
    for (const GamePlace& place : found) {
        std::optional<FolderId> id = place.root.empty() ? std::nullopt : FolderIdOf(GameFolderPath(place.root));
        if (id && met.insert(*id).second) places.push_back(place);
    }
    return places.empty() ? std::vector<GamePlace>{own} : places;
}

bool HasProtonPrefix(const std::vector<GamePlace>& places) {
    return std::any_of(places.begin(), places.end(), [](const GamePlace& place) { return !place.label.empty(); });
}

Text PlaceName(const GamePlace& place) { return place.label.empty() ? place.root : place.label; }

Text MakerFolderPath(const Text& root) { return root + "Mossgrove\\"; }
Text GameFolderPath(const Text& root) { return root + kGameFolder; }
Text RegionFilePath(const Text& root) { return GameFolderPath(root) + "\\regionInfo.json"; }
Text RegionCopyPath(const Text& root) { return RegionFilePath(root) + ".bak"; }
Text InstallRecordPath(const Text& root) { return RegionFilePath(root) + ".record"; }
Text SettingsFilePath(const Text& root) { return GameFolderPath(root) + "\\settings.tallow"; }
Text UnityFolderPath(const Text& root) { return root + "Unity"; }
Text MakerFolderPath() { return MakerFolderPath(GameDataRoot()); }
Text GameFolderPath() { return GameFolderPath(GameDataRoot()); }
Text RegionFilePath() { return RegionFilePath(GameDataRoot()); }
Text SettingsFilePath() { return SettingsFilePath(GameDataRoot()); }
Text UnityFolderPath() { return UnityFolderPath(GameDataRoot()); }

Text VoxbridgeConfigPath() {
    const Text roaming = SpecialFolder(kRoamingFolder) + "voxbridge\\config.json";
    const Text home = UnixHomeFolder();
    const Text linux = home + ".config\\voxbridge\\config.json";
    return FileExists(roaming) || home.empty() || !FileExists(linux) ? roaming : linux;
}
