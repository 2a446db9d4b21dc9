#include "model/steam_library.h"

#include "model/wine_prefix.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/wine.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>

namespace {

// Steam's folders in the Unix home, in the order Steam's own tools look after
// the one Proton names: the native folder and its two links, Flatpak's two
// and Snap's. Several are often links to one folder.
const char* const kSteamFoldersInHome[] = {
    ".steam/steam",
    ".steam/root",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    ".var/app/com.valvesoftware.Steam/data/Steam",
    "snap/steam/common/.local/share/Steam",
};
constexpr char kLibraryFoldersFile[] = "steamapps\\libraryfolders.vdf";
constexpr char kCompatData[] = "steamapps\\compatdata\\";
// Proton's user in every prefix is steamuser.
constexpr char kPrefixLocalLow[] = "\\pfx\\drive_c\\users\\steamuser\\AppData\\LocalLow\\";

std::vector<UnixFolder> SteamFolders() {
    std::vector<UnixFolder> folders;
    if (auto proton = FolderFromUnix(EnvironmentVariable("STEAM_COMPAT_CLIENT_INSTALL_PATH"))) folders.push_back(*proton);
    const Text home = UnixHomeFolder();
    if (home.empty()) return folders;
    const std::optional<Text> unixHome = UnixFormOf(home);
    for (const char* inHome : kSteamFoldersInHome) {
        Text dos = home + ReplaceSubtext(inHome, "/", Text("\\"), LeftOut, LeftOut, true) + "\\";
        folders.push_back({dos, unixHome ? *unixHome + "/" + inHome : Text()});
    }
    return folders;
}

// The libraries the Steam folder's file lists, under the names Steam gives
// them (which the report shows), then the folder itself, which is a library
// too and counts even when its file is missing or broken.
std::vector<UnixFolder> LibrariesOf(const UnixFolder& steam) {
    std::vector<UnixFolder> libraries;
    for (const Text& listed : LibraryPathsIn(ReadFileBytes(steam.dos + kLibraryFoldersFile)))
        if (std::optional<UnixFolder> library = FolderFromRecord(listed, UnixFolder{})) libraries.push_back(*library);
    libraries.push_back(steam);
    return libraries;
}

void AddPrefixesHolding(const UnixFolder& library, const Text& localLowFolder, std::vector<WinePrefix>* prefixes) {
    const Text compatData = library.dos + kCompatData;
    for (const Text& id : SubfolderNames(compatData)) {
        const Text localLow = compatData + id + kPrefixLocalLow;
        if (!FileExists(localLow + localLowFolder)) continue;
        Text unix = library.unix.empty() ? compatData + id + "\\pfx" : library.unix + "/steamapps/compatdata/" + id + "/pfx";
        prefixes->push_back({localLow, unix});
    }
}

}  // namespace

std::vector<WinePrefix> ProtonPrefixesHolding(const Text& localLowFolder) {
    std::vector<WinePrefix> prefixes;
    if (!RunsUnderWine()) return prefixes;
    std::set<FolderId> steamFolders, libraries;
    for (const UnixFolder& steam : SteamFolders()) {
        if (!FirstMeeting(steam.dos, &steamFolders)) continue;
        for (const UnixFolder& library : LibrariesOf(steam))
            if (FirstMeeting(library.dos, &libraries)) AddPrefixesHolding(library, localLowFolder, &prefixes);
    }
    return prefixes;
}
