// Where the game's files are found: the user's own LocalLow and, under Wine,
// the Proton prefixes of the Steam libraries that a fake Unix home holds.
#include "model/game_paths.h"
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
    AddPrefix(kSteam, "100", true);
    machine.underWine = false;
    EXPECT_EQ(Found(), own) << "Windows";
    machine.localLow = "";
    EXPECT_EQ(Found(), (Places{{"", ""}})) << "no LocalLow that the program can name";
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
