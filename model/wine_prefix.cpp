#include "model/wine_prefix.h"

#include "support/encoding.h"
#include "support/files.h"
#include "support/wine.h"

std::optional<Text> UnixFormOf(const Text& dosFolder) {
    if (dosFolder.size() < 3 || (dosFolder[0] != 'Z' && dosFolder[0] != 'z') || dosFolder.compare(1, 2, ":\\") != 0)
        return std::nullopt;
    Text unix = ReplaceSubtext(dosFolder.substr(2), "\\", Text("/"), LeftOut, LeftOut, true);
    while (!unix.empty() && unix.back() == '/') unix.pop_back();
    return unix;
}

std::optional<UnixFolder> FolderFromUnix(Text unixPath) {
    while (unixPath.size() > 1 && unixPath.back() == '/') unixPath.pop_back();
    Text dos = DosPathFromUnix(unixPath);
    if (dos.empty()) return std::nullopt;
    return UnixFolder{dos + "\\", unixPath};
}

std::optional<UnixFolder> FolderFromRecord(const Text& utf8Path, const UnixFolder& home) {
    bool converted = false;
    Text path = ToText(ConvertEncoding(ToBytes(utf8Path), "UTF-8", "GBK", &converted));
    if (!converted || path.empty()) return std::nullopt;
    if (path == "~" || path.rfind("~/", 0) == 0) {
        if (home.unix.empty()) return std::nullopt;
        path = home.unix + path.substr(1);
    }
    return FolderFromUnix(path);
}

UnixFolder Below(const UnixFolder& folder, const Text& relativeUnixPath) {
    return {folder.dos + ReplaceSubtext(relativeUnixPath, "/", Text("\\"), LeftOut, LeftOut, true) + "\\",
            folder.unix.empty() ? Text() : folder.unix + "/" + relativeUnixPath};
}

bool FirstMeeting(const Text& dosFolder, std::set<FolderId>* met) {
    std::optional<FolderId> id = FolderIdOf(dosFolder);
    return id && met->insert(*id).second;
}

void AddIfGameRan(const UnixFolder& prefix, const std::vector<Text>& users, const Text& localLowFolder,
                  std::vector<WinePrefix>* prefixes) {
    for (const Text& user : users) {
        const Text localLow = prefix.dos + "drive_c\\users\\" + user + "\\AppData\\LocalLow\\";
        if (!FileExists(localLow + localLowFolder)) continue;
        prefixes->push_back({localLow, prefix.unix.empty() ? prefix.dos.substr(0, prefix.dos.size() - 1) : prefix.unix});
    }
}
