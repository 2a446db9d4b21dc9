// Where the game's files are found: the user's own LocalLow and, under Wine,
// the prefixes of the Steam libraries and of the other launchers that a fake
// Unix home holds.
#include "model/game_paths.h"
#include "model/launchers.h"
#include "model/steam_library.h"
#include "tests/handlers/handler_fixture.h"

namespace {

using Places = std::vector<std::pair<Text, Text>>;

class GamePlacesTest : public HandlerTest {
protected:
    const Text kOwn = Text(FakeMachine::kAppData) + "..\\LocalLow\\";
    const Text kHome = "Z:\\home\\deck\\";
    const Text kSteam = kHome + ".local\\share\\Steam\\";
    const Text kCard = "Z:\\run\\media\\mmcblk0p1\\SteamLibrary\\";

    void SetUp() override {
        HandlerTest::SetUp();
        machine.underWine = true;
        machine.unixHome = kHome;
    }

    // A prefix's LocalLow, with the game's folder when the game has run there.
    Text AddPrefix(const Text& library, const Text& id, bool gameRan) {
        Text localLow = library + "steamapps\\compatdata\\" + id + "\\pfx\\drive_c\\users\\steamuser\\AppData\\LocalLow\\";
        machine.AddFolder(localLow + (gameRan ? "Mossgrove\\Starfold" : "Unity"));
        return localLow;
    }

    // The DOS path of a Unix path, as Wine maps the root to Z:.
    static Text Dos(const Text& unixPath) { return "Z:" + ReplaceSubtext(unixPath, "/", Text("\\"), LeftOut, LeftOut, true); }

    // A prefix's LocalLow for the user, by the prefix's Unix path.
    Text AddUnixPrefix(const Text& prefix, const Text& user, bool gameRan) {
        const Text localLow = Dos(prefix) + "\\drive_c\\users\\" + user + "\\AppData\\LocalLow\\";
        machine.AddFolder(localLow + (gameRan ? "Mossgrove\\Starfold" : "Unity"));
        return localLow;
    }

    void AddRecord(const Text& unixPath, const std::string& bytes) { machine.AddFile(Dos(unixPath), ToBytes(bytes)); }

    static Places Found() {
        Places places;
        for (const GamePlace& place : GamePlaces()) places.emplace_back(place.root, place.label);
        return places;
    }
};

TEST(LibraryFoldersFile, ListsTheLibrariesOfBothFormsAndNothingOfAFileThatIsNotKeyValues) {
    const struct {
        const char* what;
        std::string file;
        std::vector<Text> paths;
    } cases[] = {
        {"today's form", "// Steam's\n\"libraryfolders\"\n{\n\t\"contentstatsid\"\t\"-1\"\n\t\"0\"\n\t{\n\t\t\"path\"\t\""
                         "/home/deck/.local/share/Steam\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"4040\"\t\"1\"\n\t\t}\n\t}\n"
                         "\t\"1\" { \"PATH\" \"/run/media/sd\" \"label\" \"\" }\n}\n",
         {"/home/deck/.local/share/Steam", "/run/media/sd"}},
        {"the old form, bare words", "\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" \"1\" \"/mnt/a\" 2 /mnt/b }",
         {"/mnt/a", "/mnt/b"}},
        {"escapes", R"("libraryfolders" { "1" { "path" "/mnt/a \"b\" \\c // d" } })", {"/mnt/a \"b\" \\c // d"}},
        {"a brace too many", R"("libraryfolders" { "1" { "path" "/mnt/a" } } })", {}},
        {"a brace missing", R"("libraryfolders" { "1" { "path" "/mnt/a" })", {}},
        {"no closing quote", R"("libraryfolders" { "1" { "path" "/mnt/a } })", {}},
        {"a key without a value", R"("libraryfolders" { "1" { "path" } })", {}},
        {"JSON", R"({ "libraryfolders": [ { "path": "/mnt/a" } ] })", {}},
        {"a zero byte", std::string("\"libraryfolders\" { \"1\" \"/mnt/a") + '\0' + "\" }", {}},
    };
    for (const auto& file : cases) EXPECT_EQ(LibraryPathsIn(ToBytes(file.file)), file.paths) << file.what;
}

TEST_F(GamePlacesTest, EveryPrefixWhereTheGameRanCountsOnceWhateverNamesLeadToIt) {
    machine.environment["STEAM_COMPAT_CLIENT_INSTALL_PATH"] = "/home/deck/.local/share/Steam";
    machine.AddLink(kHome + ".steam\\steam", kSteam);
    machine.AddLink(kHome + ".steam\\root", kHome + ".steam\\steam");
    // The card's library is listed twice, by a name with a trailing slash; one
    // card is missing, another named in Chinese (UTF-8 in the file).
    machine.AddFile(kSteam + "steamapps\\libraryfolders.vdf",
                    ToBytes("\"libraryfolders\" { \"0\" { \"path\" \"/home/deck/.local/share/Steam\" } "
                            "\"1\" { \"path\" \"/run/media/mmcblk0p1/SteamLibrary\" } \"2\" { \"path\" \"/run/media/gone\" } "
                            "\"3\" { \"path\" \"/run/media/mmcblk0p1/SteamLibrary/\" } \"4\" { \"path\" \"" u8"/mnt/游戏" "\" } }"));
    const Text internal = AddPrefix(kSteam, "100", true);
    AddPrefix(kSteam, "200", false);
    const Text card = AddPrefix(kCard, "4040", true);
    AddPrefix(kCard, "4041", false);
    const Text chinese = AddPrefix("Z:\\mnt\\游戏\\", "7", true);
    // Flatpak's Steam, whose file is not KeyValues: its own library counts still.
    const Text flatpak = kHome + ".var\\app\\com.valvesoftware.Steam\\.local\\share\\Steam\\";
    machine.AddFile(flatpak + "steamapps\\libraryfolders.vdf", ToBytes(R"({ "libraryfolders": [] })"));
    const Text sandboxed = AddPrefix(flatpak, "300", true);
    machine.AddLink(kHome + "snap\\steam\\common\\.local\\share\\Steam", kHome + "snap\\steam\\common\\.local\\share\\Steam");
    machine.AddFolder(kOwn + "Mossgrove\\Starfold");

    const Places prefixes = {
        {internal, "/home/deck/.local/share/Steam/steamapps/compatdata/100/pfx"},
        {card, "/run/media/mmcblk0p1/SteamLibrary/steamapps/compatdata/4040/pfx"},
        {chinese, "/mnt/游戏/steamapps/compatdata/7/pfx"},
        {sandboxed, "/home/deck/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/300/pfx"}};
    Places expected = prefixes;
    expected.insert(expected.begin(), {kOwn, ""});
    EXPECT_EQ(Found(), expected);

    // Started as a non-Steam game, the installer's own LocalLow lies in a prefix.
    machine.localLow = card;
    expected = {{card, ""}, prefixes[0], prefixes[2], prefixes[3]};
    EXPECT_EQ(Found(), expected);
}

TEST_F(GamePlacesTest, WhereTheGameRanNowhereOrOnWindowsTheUsersOwnLocalLowIsTheOnePlace) {
    const Places own = {{kOwn, ""}};
    EXPECT_EQ(Found(), own) << "no Steam";
    AddPrefix(kSteam, "200", false);
    machine.AddLink(kHome + ".steam\\steam", kSteam);
    EXPECT_EQ(Found(), own) << "the game ran in no prefix";
    EXPECT_TRUE(GameFoundNowhere(GamePlaces()));
    machine.AddFolder(kOwn + "Mossgrove\\Starfold");
    EXPECT_FALSE(GameFoundNowhere(GamePlaces())) << "the game ran in the installer's own prefix";
    AddPrefix(kSteam, "100", true);
    machine.underWine = false;
    EXPECT_EQ(Found(), own) << "Windows";
    machine.RemoveTree(kOwn + "Mossgrove");
    EXPECT_FALSE(GameFoundNowhere(GamePlaces())) << "Windows";
    machine.localLow = "";
    EXPECT_EQ(Found(), (Places{{"", ""}})) << "no LocalLow that the program can name";
}

// Wine gives every file system without a drive letter the volume serial 0,
// and the roots of two file systems share their index: under Wine a folder is
// its Unix path, links resolved. Windows keeps the volume and the index.
TEST_F(GamePlacesTest, TwoLibrariesAtTheRootsOfTwoFileSystemsAreTwoAndALinkIsItsFolder) {
    const Text card = "Z:\\run\\media\\sd\\", drive = "Z:\\run\\media\\external\\";
    machine.AddLink(kHome + ".steam\\steam", kSteam);
    machine.AddFile(kSteam + "steamapps\\libraryfolders.vdf",
                    ToBytes(R"("libraryfolders" { "1" { "path" "/run/media/sd" } "2" { "path" "/run/media/external" } })"));
    AddPrefix(card, "4040", false);
    const Text game = AddPrefix(drive, "4040", true);
    for (const Text& root : {card, drive}) machine.fileSystemIds[FakeMachine::Resolve(root)] = FolderId{0, 1};
    EXPECT_EQ(Found(), (Places{{game, "/run/media/external/steamapps/compatdata/4040/pfx"}}));
    EXPECT_FALSE(FolderIdOf(card) == FolderIdOf(drive));
    EXPECT_TRUE(FolderIdOf(kHome + ".steam\\steam\\steamapps") == FolderIdOf(kSteam + "steamapps"));
    EXPECT_EQ(FolderIdOf(kHome + ".steam\\steam")->unixPath, "/home/deck/.local/share/steam");
    machine.underWine = false;
    EXPECT_TRUE(FolderIdOf(card) == FolderIdOf(drive)) << "Windows";
    EXPECT_EQ(FolderIdOf(card)->unixPath, "");
}

// Heroic, Lutris and Bottles, native and Flatpak, umu and Wine's default
// prefix: every prefix their records name or their folders hold where the
// game has run counts, under Proton's user or the Unix user's name; a broken
// record names nothing and the search goes on.
TEST_F(GamePlacesTest, ThePrefixesOfEveryLauncherCountFromTheirOwnRecords) {
    const Text heroic = "/home/deck/.config/heroic/GamesConfig/", heroicFlat = "/home/deck/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/";
    AddRecord(heroic + "Starfold.json", R"({"Starfold": {"winePrefix": "/home/deck/Games/Heroic/Prefixes/default/Starfold",
        "wineVersion": {"type": "wine"}}, "Other": {"winePrefix": "/mnt/games/other", "wineVersion": {"type": "proton"}},
        "version": "v0", "explicit": true})");
    AddRecord(heroic + "broken.json", R"({"Broken": {"winePrefix": "/mnt/broken")");
    AddRecord(heroicFlat + "Starfold.json", R"({"Starfold": {"winePrefix": "~/Games/flat/", "wineVersion": {"type": "proton"}}})");
    AddRecord(heroicFlat + "broken.json", R"(["/mnt/broken"])");
    AddRecord("/home/deck/.local/share/lutris/games/starfold-1.yml",
              "game:\n  exe: /x/Starfold.exe\n  prefix: /home/deck/Games/starfold\nname: Starfold\nwine:\n  version: lutris-8\n");
    AddRecord("/home/deck/.config/lutris/games/broken.yml", "game: {prefix: /mnt/broken}\n");
    AddRecord("/home/deck/.var/app/net.lutris.Lutris/data/lutris/games/starfold-2.yml",
              "game:\n  prefix: \"/mnt/\\u6E38\\u620F\"\n");
    AddRecord("/home/deck/.var/app/net.lutris.Lutris/config/lutris/games/broken.yml", "game:\n\tprefix: /mnt/broken\n");
    AddRecord("/home/deck/.local/share/bottles/data.yml", "custom_bottles_path: /mnt/bottles\n");
    AddRecord("/home/deck/.var/app/com.usebottles.bottles/data/bottles/data.yml", "custom_bottles_path: |\n  /mnt/broken\n");
    AddUnixPrefix("/mnt/broken", "deck", true);
    AddUnixPrefix("/mnt/broken/bottle", "deck", true);
    AddUnixPrefix("/mnt/games/other", "steamuser", true);  // Proton's prefix is in pfx
    // The fake file system lists names in lower case.
    const Places expected = {
        {AddUnixPrefix("/mnt/games/other/pfx", "steamuser", true), "/mnt/games/other/pfx"},
        {AddUnixPrefix("/home/deck/Games/Heroic/Prefixes/default/Starfold", "deck", true), "/home/deck/Games/Heroic/Prefixes/default/Starfold"},
        {AddUnixPrefix("/home/deck/Games/flat/pfx", "steamuser", true), "/home/deck/Games/flat/pfx"},
        {AddUnixPrefix("/home/deck/Games/starfold", "deck", true), "/home/deck/Games/starfold"},
        {AddUnixPrefix("/mnt/游戏", "deck", true), "/mnt/游戏"},
        {AddUnixPrefix("/home/deck/.local/share/bottles/bottles/starfold", "deck", true), "/home/deck/.local/share/bottles/bottles/starfold"},
        {AddUnixPrefix("/mnt/bottles/games", "deck", true), "/mnt/bottles/games"},
        {AddUnixPrefix("/home/deck/.var/app/com.usebottles.bottles/data/bottles/bottles/b", "deck", true), "/home/deck/.var/app/com.usebottles.bottles/data/bottles/bottles/b"},
        {AddUnixPrefix("/home/deck/Games/Heroic/Prefixes/old", "deck", true), "/home/deck/Games/Heroic/Prefixes/old"},
        {AddUnixPrefix("/home/deck/Games/umu/umu-default/pfx", "steamuser", true), "/home/deck/Games/umu/umu-default/pfx"},
        {AddUnixPrefix("/home/deck/.wine", "deck", true), "/home/deck/.wine"}};
    AddUnixPrefix("/home/deck/Games/umu/other", "deck", false);
    Places found = Found();
    EXPECT_EQ(found, expected);
    machine.AddFolder(kOwn + "Mossgrove\\Starfold");
    found.insert(found.begin(), {kOwn, ""});
    EXPECT_EQ(Found(), found) << "the user's own LocalLow first";
}

TEST(LauncherRecords, EachReaderTakesItsKeysAndRefusesWhatItDoesNotUnderstand) {
    const std::vector<Text> none;
    EXPECT_EQ(HeroicPrefixesIn(ToBytes(R"({"a": {"winePrefix": "/p/a"}, "b": {"winePrefix": "/p/b/", "wineVersion": {"type": "proton"}},
        "c": {"winePrefix": 7}, "d": {"winePrefix": ""}, "version": "v0"})")), (std::vector<Text>{"/p/a", "/p/b/pfx"}));
    for (const char* broken : {"", "[]", "{\"a\": {\"winePrefix\": \"/p/a\"}", "{\"a\": {\"winePrefix\": \"/p\\u0000\"}}"})
        EXPECT_EQ(HeroicPrefixesIn(ToBytes(broken)), none) << broken;

    const struct {
        const char* what;
        std::string record;
        std::vector<Text> prefixes;
    } lutris[] = {
        {"PyYAML's form", "game:\n  args: ''\n  prefix: /home/deck/Games/x y # note\nsystem: {}\n", {"/home/deck/Games/x y"}},
        {"a document start, CR LF and comments", "---\r\n# Lutris\r\ngame:\r\n    # the prefix\r\n    prefix: /p\r\n", {"/p"}},
        {"single quotes", "game:\n  prefix: '/p/it''s: #1'\n", {"/p/it's: #1"}},
        {"escapes", "game:\n  prefix: \"/p/bj\\xF6rn/\\\"q\\\"\"\n", {u8"/p/björn/\"q\""}},
        {"another key's value", "script: |\n  game:\n    prefix: /no\ngame:\n  exe: /x\n  options:\n    prefix: /no\n  prefix: /p\n", {"/p"}},
        {"no prefix", "game:\n  exe: /x\nwine:\n  prefix: /no\n", {}},
        {"a flow mapping", "game: {prefix: /p}\n", {}},
        {"a sequence at its key's indentation", "game:\n  args:\n  - -x\n  prefix: /p\nscript:\n- a\n", {"/p"}},
        {"a plain value folded", "game:\n  prefix: /p/a\n    b c\n  exe: /x\n    y\n", {"/p/a b c"}},
        {"a value folded after a blank line", "game:\n  prefix: /p/a\n\n    b\n", {}},
        {"a quoted value that goes on", "game:\n  prefix: '/p/a'\n    b\n", {}},
        {"a tab", "game:\n\tprefix: /p\n", {}},
        {"the key twice", "game:\n  prefix: /p\n  prefix: /q\n", {}},
        {"game twice", "game:\n  prefix: /p\ngame:\n  exe: /x\n", {}},
        {"an alias", "game:\n  prefix: *a\n", {}},
        {"a block scalar", "game:\n  prefix: |\n    /p\n", {}},
        {"a null", "game:\n  prefix: null\n", {}},
        {"no closing quote", "game:\n  prefix: \"/p\n    \"\n", {}},
        {"an unknown escape", "game:\n  prefix: \"/p\\q\"\n", {}},
        {"a sequence", "game:\n  - prefix: /p\n", {}},
        {"a second document", "game:\n  prefix: /p\n---\ngame: {}\n", {}},
        {"a zero byte", std::string("game:\n  prefix: /p") + '\0' + "\n", {}},
    };
    for (const auto& record : lutris) EXPECT_EQ(LutrisPrefixesIn(ToBytes(record.record)), record.prefixes) << record.what;
    EXPECT_EQ(BottlesFoldersIn(ToBytes("custom_bottles_path: /mnt/b\nlibrary: {}\n")), std::vector<Text>{"/mnt/b"});
    EXPECT_EQ(BottlesFoldersIn(ToBytes("custom_bottles_path: ''\n")), none);
    EXPECT_EQ(BottlesFoldersIn(ToBytes("x:\n  custom_bottles_path: /mnt/b\n")), none);
}

TEST_F(GamePlacesTest, UnderWineVoxbridgeForLinuxHasItsConfigurationInTheUnixHome) {
    const Text roaming = Text(FakeMachine::kAppData) + "voxbridge\\config.json";
    const Text linux = kHome + ".config\\voxbridge\\config.json";
    EXPECT_EQ(VoxbridgeConfigPath(), roaming) << "neither";
    machine.AddFile(linux, ToBytes("{}"));
    EXPECT_EQ(VoxbridgeConfigPath(), linux);
    machine.AddFile(roaming, ToBytes("{}"));
    EXPECT_EQ(VoxbridgeConfigPath(), roaming) << "the prefix's own comes first";
    machine.RemoveTree(Text(FakeMachine::kAppData) + "voxbridge");
    machine.underWine = false;
    EXPECT_EQ(VoxbridgeConfigPath(), roaming) << "Windows";
}

}  // namespace
