#include "model/launchers.h"

#include "support/files.h"
#include "support/processes.h"
#include "support/wine.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {


// Each launcher's records in the Unix home, native first, then Flatpak's.
const char* const kHeroicGameConfigs[] = {
    ".config/heroic/GamesConfig",
    ".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig",
};
const char* const kLutrisGames[] = {
    ".local/share/lutris/games",
    ".config/lutris/games",
    ".var/app/net.lutris.Lutris/data/lutris/games",
    ".var/app/net.lutris.Lutris/config/lutris/games",
};
// Bottles' data folder: its data.yml and the bottles folder in it.
const char* const kBottlesData[] = {
    ".local/share/bottles",
    ".var/app/com.usebottles.bottles/data/bottles",
};
// Folders whose every subfolder is a prefix: Heroic's default ones (older
// Heroic put each game's there, newer ones in its "default" folder) and umu's.
const char* const kPrefixFolders[] = {"Games/Heroic/Prefixes", "Games/Heroic/Prefixes/default", "Games/umu"};

bool EndsWith(const Text& text, std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<Text> NamedRecords(const UnixFolder& folder, std::string_view extension) {
    std::vector<Text> names;
    for (const Text& name : FileNames(folder.dos))
        if (EndsWith(name, extension)) names.push_back(name);
    return names;
}

// One search of the launchers' prefixes for the game's folder.
class Search {
public:
    Search(const UnixFolder& home, const Text& localLowFolder) : home_(home), localLowFolder_(localLowFolder) {
        // Wine names the prefix's user after the Unix user (USER, which Wine passes on, else the
        // home's name); Proton's is steamuser.
        Text user = EnvironmentVariable("USER");
        if (user.empty()) {
            user = home.dos.substr(0, home.dos.size() - 1);
            user.erase(0, user.find_last_of('\\') + 1);
        }
        users_ = {"steamuser"};
        if (!user.empty() && user != users_[0]) users_.push_back(user);
    }

    void Heroic() {
        for (const char* configs : kHeroicGameConfigs) {
            const UnixFolder folder = Below(home_, configs);
            for (const Text& name : NamedRecords(folder, ".json"))
                for (const Text& prefix : HeroicPrefixesIn(ReadFileBytes(folder.dos + name))) Named(prefix);
        }
    }

    void Lutris() {
        for (const char* games : kLutrisGames) {
            const UnixFolder folder = Below(home_, games);
            for (const Text& name : NamedRecords(folder, ".yml"))
                for (const Text& prefix : LutrisPrefixesIn(ReadFileBytes(folder.dos + name))) Named(prefix);
        }
    }

    void Bottles() {
        for (const char* data : kBottlesData) {
            const UnixFolder folder = Below(home_, data);
            EachBelow(Below(folder, "bottles"), false);
            for (const Text& custom : BottlesFoldersIn(ReadFileBytes(folder.dos + "data.yml")))
                if (std::optional<UnixFolder> bottles = FolderFromRecord(custom, home_)) EachBelow(*bottles, false);
        }
    }

    void Folders() {
        for (const char* folder : kPrefixFolders) EachBelow(Below(home_, folder), true);
        AddIfGameRan(Below(home_, ".wine"), users_, localLowFolder_, &prefixes_);
    }

    std::vector<WinePrefix> Found() const { return prefixes_; }

private:
    void Named(const Text& utf8Path) {
        if (std::optional<UnixFolder> prefix = FolderFromRecord(utf8Path, home_))
            AddIfGameRan(*prefix, users_, localLowFolder_, &prefixes_);
    }

    // Every subfolder is a prefix; in Proton's layout the prefix is its pfx.
    void EachBelow(const UnixFolder& folder, bool protonLayout) {
        for (const Text& name : SubfolderNames(folder.dos)) {
            const UnixFolder prefix = Below(folder, name);
            AddIfGameRan(prefix, users_, localLowFolder_, &prefixes_);
            if (protonLayout && FileExists(prefix.dos + "pfx")) AddIfGameRan(Below(prefix, "pfx"), users_, localLowFolder_, &prefixes_);
        }
    }

    const UnixFolder home_;
    const Text localLowFolder_;
    std::vector<Text> users_;
    std::vector<WinePrefix> prefixes_;
};

}  // namespace

std::vector<WinePrefix> LauncherPrefixesHolding(const Text& localLowFolder) {
    const Text homeDos = RunsUnderWine() ? UnixHomeFolder() : Text();
    if (homeDos.empty()) return {};
    const UnixFolder home = {homeDos, UnixFormOf(homeDos).value_or(Text())};
    Search search(home, localLowFolder);
    search.Heroic();
    search.Lutris();
    search.Bottles();
    search.Folders();
    return search.Found();
}
