// The Voxbridge option through the driver: the configuration in the
// scenario's profile is rewritten only when the change is sound, and kept
// byte for byte with the install stopped otherwise.
#include "install_scenario.h"
#include "support/retry_while_held.h"
#include "tests/win32/files.h"

namespace {

const std::string kOldRegionFile = u8"{\"Regions\": [{\"Name\": \"旧\"}]}";
const std::string kConfig = "{\"serverURL\": \"wss://old.example/voice\", \"volume\": 80}";
// What an install with the option fetches: the voice server's address, then the server list.
const std::vector<std::string> kAddressAndList = {"/Lanternkit/bcl.ini", "/Lanternkit/serverlist.json"};

class VoiceChatScenario : public InstallScenario {
protected:
    // Every case starts from the same files, so that one that fails leaves the next untouched.
    void WriteFiles(const std::string& config) {
        ASSERT_NO_FATAL_FAILURE(WriteConfig(config));
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
    }

    void StartWithOption() {
        ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
        ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
    }

    // The install stopped at the configuration: the message, the old region
    // file, the option and the layout as the user left them, and nothing
    // fetched but what is given.
    void ExpectStopped(const ExpectedBox& message, const std::vector<std::string>& fetched, DWORD installerWaitMs = 0) {
        ASSERT_NO_FATAL_FAILURE(InstallFetching(message, fetched, installerWaitMs));
        ExpectFile(RegionFile(), kOldRegionFile);
        EXPECT_EQ(OptionState(), BST_CHECKED) << "the option stays as the user set it";
        ExpectVerticalLayout(true);
    }
};

TEST_F(VoiceChatScenario, OnlyTheSpanFromTheKeyToTheCommaChangesAndTheReportNamesTheWrittenAddress) {
    struct Rewrite {
        const char* what;
        std::string config;
        std::string served;
        std::wstring written;
        std::string expected;
    };
    const Rewrite cases[] = {
        {"a byte order mark, CR LF and blanks before the comma",
         "\xEF\xBB\xBF{\r\n  \"name\": \"\xE6\x88\x91\",\r\n  \"serverURL\": \"wss://old.example/voice\"  ,\r\n  \"volume\": 80\r\n}\r\n",
         "https://voice.example/bcl\r\n", L"https://voice.example/bcl",
         "\xEF\xBB\xBF{\r\n  \"name\": \"\xE6\x88\x91\",\r\n  \"serverURL\": \"https://voice.example/bcl\",\r\n  \"volume\": 80\r\n}\r\n"},
        {"the value right before the comma; a second key stays",
         "{\"serverURL\": \"\",\"backup\": {\"serverURL\": \"wss://backup.example\", \"on\": true}}",
         " \thttps://voice.example/two\t \n", L"https://voice.example/two",
         "{\"serverURL\": \"https://voice.example/two\",\"backup\": {\"serverURL\": \"wss://backup.example\", \"on\": true}}"},
        {"more spaces after the colon and a line break before the comma",
         "{\n\t\"serverURL\":    \"wss://old.example/voice\"\n\t, \"volume\": 80\n}", "https://voice.example/three",
         L"https://voice.example/three", "{\n\t\"serverURL\": \"https://voice.example/three\", \"volume\": 80\n}"},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    for (const Rewrite& rewrite : cases) {
        SCOPED_TRACE(rewrite.what);
        ASSERT_NO_FATAL_FAILURE(WriteConfig(rewrite.config));
        ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", {rewrite.served}));
        // The report names what was written: the address is fetched once.
        ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(DemoList(), rewrite.written), kAddressAndList));
        ExpectFile(ConfigFile(), rewrite.expected);
        ExpectFile(RegionFile(), DemoList());
        // The configuration each case began with was the player's own: the copy keeps the first.
        ExpectFile(ConfigFile() + L".bak", cases[0].config);
        EXPECT_EQ(OptionState(), BST_CHECKED);
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

// The roaming folder moved elsewhere (a server share, another drive) while
// LocalLow stays: the region file goes under LocalLow as Windows names it,
// nothing lands beside the moved folder, and Voxbridge's configuration is
// rewritten where it now lies.
TEST_F(VoiceChatScenario, WithTheRoamingFolderMovedEachFileIsWrittenWhereItsProgramReadsIt) {
    UserProfile moved = session_->Profile();
    moved.roaming = session_->Folder() + L"\\elsewhere\\Roaming";
    ASSERT_TRUE(CreateFolderTree(moved.roaming + L"\\voxbridge"));
    ASSERT_TRUE(WriteWholeFile(moved.roaming + L"\\voxbridge\\config.json", kConfig));
    session_->UseProfile(moved);
    ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", {"https://voice.example/moved"}));
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList(), L"https://voice.example/moved")));
    ExpectFile(RegionFile(), DemoList());
    ExpectFolderHolds(session_->Folder() + L"\\elsewhere", {L"Roaming"});
    ExpectFile(moved.roaming + L"\\voxbridge\\config.json",
               "{\"serverURL\": \"https://voice.example/moved\", \"volume\": 80}");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

TEST_F(VoiceChatScenario, WithoutTheConfigurationTheOptionIsClearedTheLayoutCollapsesAndNothingIsFetched) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    for (bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a voxbridge folder without config.json" : "no voxbridge folder");
        if (folder) ASSERT_NO_FATAL_FAILURE(WriteConfig(kConfig));
        if (folder) ASSERT_TRUE(MoveFileW(ConfigFile().c_str(), (ConfigFile() + L".bak").c_str()));
        ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
        ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true));
        ASSERT_NO_FATAL_FAILURE(InstallFetching(kVoxbridgeMissing, {}));
        EXPECT_EQ(OptionState(), BST_UNCHECKED);
        ExpectVerticalLayout(false);
        EXPECT_FALSE(PathExists(session_->Profile().localLow + L"\\Mossgrove"));
        if (folder) {
            ExpectFolderHolds(VoxbridgeFolder(), {L"config.json.bak"});
            ExpectFile(ConfigFile() + L".bak", kConfig);
        } else {
            EXPECT_FALSE(PathExists(VoxbridgeFolder())) << "the configuration is Voxbridge's to create";
        }
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(VoiceChatScenario, AnUnrecognisedConfigurationIsKeptByteForByteAndNothingIsFetched) {
    enum class Hold { None, Exclusive };
    struct Unrecognised {
        const char* what;
        std::string config;
        Hold hold;
    };
    const Unrecognised cases[] = {
        {"the key spelt with other capitals", "{\"serverUrl\": \"wss://old.example/voice\", \"volume\": 80}", Hold::None},
        {"no space after the colon", "{\"serverURL\":\"wss://old.example/voice\", \"volume\": 80}", Hold::None},
        {"no comma after the key", "{\"volume\": 80, \"serverURL\": \"wss://old.example/voice\"}", Hold::None},
        // The first comma behind the key lies inside the old value: replacing up to it would break the file.
        {"a comma inside the old address", "{\"serverURL\": \"wss://old.example/?rooms=a,b\", \"volume\": 80}", Hold::None},
        {"an object as the old value", "{\"serverURL\": {\"main\": \"wss://a\", \"spare\": \"wss://b\"}, \"volume\": 80}",
         Hold::None},
        // The text ends at a zero byte: a rewrite would cut the file off there.
        {"a zero byte behind the value", kConfig.substr(0, 40) + '\0' + kConfig.substr(40), Hold::None},
        {"held open by Voxbridge without sharing", kConfig, Hold::Exclusive},
        {"empty", "", Hold::None},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    for (const Unrecognised& bad : cases) {
        SCOPED_TRACE(bad.what);
        ASSERT_NO_FATAL_FAILURE(WriteFiles(bad.config));
        std::optional<HeldFile> voxbridge;
        if (bad.hold == Hold::Exclusive) voxbridge.emplace(ConfigFile(), GENERIC_READ | GENERIC_WRITE, 0);
        if (voxbridge) ASSERT_TRUE(voxbridge->IsOpen());
        ASSERT_NO_FATAL_FAILURE(ExpectStopped(kConfigUnrecognised, {}));
        voxbridge.reset();
        ExpectFile(ConfigFile(), bad.config);
        ExpectFolderHolds(VoxbridgeFolder(), {L"config.json"});
    }
    {
        SCOPED_TRACE("a folder named config.json");
        ASSERT_TRUE(DeleteFileW(ConfigFile().c_str()));
        ASSERT_TRUE(CreateFolderTree(ConfigFile()));
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
        ASSERT_NO_FATAL_FAILURE(ExpectStopped(kConfigUnrecognised, {}));
        EXPECT_TRUE(GetFileAttributesW(ConfigFile().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        ExpectFolderHolds(ConfigFile(), {});
    }
    // The version reply only: the last configuration read was empty.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(VoiceChatScenario, AnUnusableAddressKeepsTheConfigurationAndStopsTheInstall) {
    struct BadAddress {
        const char* what;
        SiteVariant reply;
    };
    const BadAddress cases[] = {
        {"404 with an address as its body", {"https://voice.example/bcl", 404}},
        {"empty", {""}},
        {"blanks and a line end only", {" \t\r\n"}},
        {"a double quote inside", {"https://voice.example/\"bcl"}},
        {"a line break inside", {"https://voice.example/\r\n\"volume\": 0"}},
        {"a backslash inside", {"https://voice.example\\bcl"}},
        {"a tab inside", {"https://voice.example/\tbcl"}},
        {"a zero byte inside", {std::string("https://voice.example/") + '\0' + "bcl"}},
        {"cut off", {"https://voice.example/bcl", 200, Delivery::Cut, 6}},
        {"the connection dropped", {"", 200, Delivery::Drop}},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    for (const BadAddress& bad : cases) {
        SCOPED_TRACE(bad.what);
        ASSERT_NO_FATAL_FAILURE(WriteFiles(kConfig));
        ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", bad.reply));
        ASSERT_NO_FATAL_FAILURE(ExpectStopped(kAddressUnusable, {"/Lanternkit/bcl.ini"}));
        ExpectFile(ConfigFile(), kConfig);
        ExpectFolderHolds(VoxbridgeFolder(), {L"config.json"});
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(VoiceChatScenario, AConfigurationThatCannotBeWrittenIsKeptAndTheInstallStops) {
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    {
        SCOPED_TRACE("read-only");
        ASSERT_NO_FATAL_FAILURE(WriteFiles(kConfig));
        ASSERT_TRUE(SetReadOnly(ConfigFile(), true));
        ASSERT_NO_FATAL_FAILURE(ExpectStopped(kConfigUnwritable, kAddressAndList));
        ExpectFile(ConfigFile(), kConfig);
        EXPECT_TRUE(IsReadOnly(ConfigFile())) << "the file keeps its attribute";
        ExpectFile(ConfigFile() + L".bak", kConfig);
        ASSERT_TRUE(SetReadOnly(ConfigFile(), false));
    }
    {
        SCOPED_TRACE("held open for reading by Voxbridge");
        ASSERT_NO_FATAL_FAILURE(WriteFiles(kConfig));
        HeldFile voxbridge(ConfigFile(), GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(voxbridge.IsOpen());
        // The write is tried again while the file is held, then given up.
        ASSERT_NO_FATAL_FAILURE(ExpectStopped(kConfigUnwritable, kAddressAndList, kAllPausesMs));
        ExpectFile(ConfigFile(), kConfig);
        ExpectFolderHolds(VoxbridgeFolder(), {L"config.json", L"config.json.bak"});
    }
    // The version reply, the configuration as read and as it would have been written, the list.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

// Both the address and the list are judged before anything is written: a
// refused list leaves Voxbridge as it was, with no copy made.
TEST_F(VoiceChatScenario, ARefusedListLeavesTheConfigurationAndTheRegionFileAsTheyWere) {
    struct BadList {
        const char* what;
        SiteVariant reply;
        ExpectedBox message;
    };
    const BadList cases[] = {
        {"404", {DemoList(), 404}, kListError},
        {"not JSON", {"<html>maintenance</html>"}, kNotAList},
    };
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    for (const BadList& bad : cases) {
        SCOPED_TRACE(bad.what);
        ASSERT_NO_FATAL_FAILURE(WriteFiles(kConfig));
        ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", bad.reply));
        ASSERT_NO_FATAL_FAILURE(InstallFetching(bad.message, kAddressAndList));
        ExpectFile(ConfigFile(), kConfig);
        ExpectFolderHolds(VoxbridgeFolder(), {L"config.json"});
        ExpectFile(RegionFile(), kOldRegionFile);
    }
    // The version reply, the configuration as read and the list: no rewrite was built.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(3));
}

// Voxbridge saves its configuration while a slow list comes: the install
// rewrites what Voxbridge saved, so that its save survives.
TEST_F(VoiceChatScenario, VoxbridgesSaveDuringASlowListDownloadSurvivesTheInstall) {
    ASSERT_NO_FATAL_FAILURE(WriteFiles(kConfig));
    ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", {"https://voice.example/saved"}));
    SiteVariant late{DemoList()};
    late.delayMs = 2000;
    ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", late));
    ASSERT_NO_FATAL_FAILURE(StartWithOption());
    ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return Requested("/Lanternkit/serverlist.json"); }));
    ASSERT_NO_FATAL_FAILURE(WriteConfig("{\"serverURL\": \"wss://old.example/voice\", \"volume\": 35}"));
    MessageBoxState box;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(InstallReport(DemoList(), std::wstring(L"https://voice.example/saved")), &box));
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    ExpectFile(ConfigFile(), "{\"serverURL\": \"https://voice.example/saved\", \"volume\": 35}");
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

}  // namespace
