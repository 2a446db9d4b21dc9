#include "model/steam_library.h"

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

// A folder as the program reaches it and as Linux names it.
struct Folder {
    Text dos;   // ending in a backslash
    Text unix;  // without a trailing slash; empty when unknown
};

// Under Wine, drive Z: is the Unix root: the Unix form of a folder there,
// without a trailing slash (empty for the root itself). Nothing elsewhere.
std::optional<Text> UnixFormOf(const Text& dosFolder) {
    if (dosFolder.size() < 3 || (dosFolder[0] != 'Z' && dosFolder[0] != 'z') || dosFolder.compare(1, 2, ":\\") != 0)
        return std::nullopt;
    Text unix = ReplaceSubtext(dosFolder.substr(2), "\\", Text("/"), LeftOut, LeftOut, true);
    while (!unix.empty() && unix.back() == '/') unix.pop_back();
    return unix;
}

// A Unix path as the program reaches it; nothing when it names no place.
std::optional<Folder> FolderFromUnix(Text unix) {
    while (unix.size() > 1 && unix.back() == '/') unix.pop_back();
    Text dos = DosPathFromUnix(unix);
    if (dos.empty()) return std::nullopt;
    return Folder{dos + "\\", unix};
}

std::vector<Folder> SteamFolders() {
    std::vector<Folder> folders;
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
std::vector<Folder> LibrariesOf(const Folder& steam) {
    std::vector<Folder> libraries;
    for (const Text& listed : LibraryPathsIn(ReadFileBytes(steam.dos + kLibraryFoldersFile))) {
        bool converted = false;
        Text unix = ToText(ConvertEncoding(ToBytes(listed), "UTF-8", "GBK", &converted));
        std::optional<Folder> library = converted ? FolderFromUnix(unix) : std::nullopt;
        if (library) libraries.push_back(*library);
    }
    libraries.push_back(steam);
    return libraries;
}

// The first time this folder is met under any of its names. A missing
// folder, or a link that loops, is never met.
bool FirstMeeting(const Folder& folder, std::set<FolderId>* met) {
    std::optional<FolderId> id = FolderIdOf(folder.dos);
    return id && met->insert(*id).second;
}

void AddPrefixesHolding(const Folder& library, const Text& localLowFolder, std::vector<ProtonPrefix>* prefixes) {
    const Text compatData = library.dos + kCompatData;
    for (const Text& id : SubfolderNames(compatData)) {
        const Text localLow = compatData + id + kPrefixLocalLow;
        if (!FileExists(localLow + localLowFolder)) continue;
        Text unix = library.unix.empty() ? compatData + id + "\\pfx" : library.unix + "/steamapps/compatdata/" + id + "/pfx";
        prefixes->push_back({localLow, unix});
    }
}

}  // namespace

std::vector<ProtonPrefix> ProtonPrefixesHolding(const Text& localLowFolder) {
    std::vector<ProtonPrefix> prefixes;
    if (!RunsUnderWine()) return prefixes;
    std::set<FolderId> steamFolders, libraries;
    for (const Folder& steam : SteamFolders()) {
        if (!FirstMeeting(steam, &steamFolders)) continue;
        for (const Folder& library : LibrariesOf(steam))
            if (FirstMeeting(library, &libraries)) AddPrefixesHolding(library, localLowFolder, &prefixes);
    }
    return prefixes;
}
