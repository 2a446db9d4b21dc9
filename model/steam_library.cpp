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
#include <string_view>

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

// One token of KeyValues text.
enum class Token { String, Open, Close, End, Bad };

// KeyValues as Steam writes it: quoted strings with \\ \" \n \t escapes, bare
// words, braces, and // comments to the end of the line.
class KeyValuesTokens {
public:
    explicit KeyValuesTokens(const ByteArray& bytes) : text_(bytes.begin(), bytes.end()) {}

    Token Next(Text* string) {
        SkipBlanksAndComments();
        if (at_ == text_.size()) return Token::End;
        const char first = text_[at_];
        if (first == '{' || first == '}') {
            ++at_;
            return first == '{' ? Token::Open : Token::Close;
        }
        string->clear();
        if (first != '"') {
            while (at_ < text_.size() && !IsBlank(text_[at_]) && !IsIn(text_[at_], "{}\"")) *string += text_[at_++];
            return Token::String;
        }
        for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
                const char escaped = text_[++at_];
                *string += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                *string += text_[at_];
            }
        }
        if (at_ == text_.size()) return Token::Bad;  // no closing quote
        ++at_;
        return Token::String;
    }

    // A zero byte is in no text file.
    bool IsText() const { return text_.find('\0') == std::string::npos; }

private:
    static bool IsIn(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }
    static bool IsBlank(char c) { return IsIn(c, " \t\r\n\f\v"); }

    void SkipBlanksAndComments() {
        for (;;) {
            while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
            if (text_.compare(at_, 2, "//") != 0) return;
            at_ = std::min(text_.find('\n', at_), text_.size());
        }
    }

    std::string text_;
    size_t at_ = 0;
};

// KeyValues keys are compared without regard to ASCII case.
bool SameIgnoringCase(const Text& key, const std::string& lowerCase) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return key.size() == lowerCase.size() &&
           std::equal(key.begin(), key.end(), lowerCase.begin(), [&](char a, char b) { return lower(a) == b; });
}

bool IsNumber(const Text& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == Text::npos;
}

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

std::vector<Text> LibraryPathsIn(const ByteArray& libraryFolders) {
    KeyValuesTokens tokens(libraryFolders);
    if (!tokens.IsText()) return {};
    std::vector<Text> paths, blocks;  // the keys of the blocks open at this point
    Text key, value;
    for (Token token; (token = tokens.Next(&key)) != Token::End;) {
        if (token == Token::Close && !blocks.empty()) {
            blocks.pop_back();
            continue;
        }
        Token next = token == Token::String ? tokens.Next(&value) : Token::Bad;
        if (next == Token::Open) {
            blocks.push_back(key);
            continue;
        }
        if (next != Token::String) return {};
        const bool inList = !blocks.empty() && SameIgnoringCase(blocks[0], "libraryfolders");
        const bool oldForm = inList && blocks.size() == 1 && IsNumber(key);
        const bool newForm = inList && blocks.size() == 2 && IsNumber(blocks[1]) && SameIgnoringCase(key, "path");
        if ((oldForm || newForm) && !value.empty()) paths.push_back(value);
    }
    return blocks.empty() ? paths : std::vector<Text>();
}

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
