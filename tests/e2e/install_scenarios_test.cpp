// Install and uninstall through the driver: the server list into the region
// file of the scenario's profile, the reports, and the install button's state.
#include "e2e_paths.h"
#include "install_scenario.h"
#include "support/retry_while_held.h"
#include "tests/win32/files.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"

#include <thread>

namespace {

const std::string kOldRegionFile = std::string(20000, 'x') + "\r\n";

TEST_F(InstallScenario, TheServerListIsWrittenByteForByteIntoANewGameFolderAndReportedConverted) {
    const std::string config = "{\"serverURL\": \"wss://own.example/voice\", \"volume\": 80}";
    ASSERT_NO_FATAL_FAILURE(WriteConfig(config));
    ASSERT_FALSE(PathExists(session_->Profile().localLow + L"\\Mossgrove"));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    // The first write fails for want of the folders; they are made and the second write succeeds.
    // Without the option Voxbridge is left alone: its address is not fetched.
    ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(DemoList()), {"/Lanternkit/serverlist.json"}));
    ExpectFile(RegionFile(), DemoList());
    ExpectFolderHolds(session_->Profile().localLow + L"\\Mossgrove", {L"Starfold"});
    ExpectFolderHolds(GameFolder(), {L"regionInfo.json", L"regionInfo.json.record"});
    ExpectFile(ConfigFile(), config);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, WithoutLocalLowTheGameFoldersCannotBeMadeAndTheInstallReportsFailure) {
    // Only the game's own folders are made: LocalLow belongs to Windows.
    ASSERT_TRUE(RemoveFolderTree(session_->Profile().localLow));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Install(kInstallFailed));
    EXPECT_FALSE(PathExists(session_->Profile().localLow)) << "nothing is made above the maker's folder";

    // Once the folder is there, the next click installs through the ordinary path.
    ASSERT_TRUE(CreateFolderTree(session_->Profile().localLow));
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, AnExistingRegionFileIsReplacedWholeAndTheReportShowsWhatGb2312Holds) {
    struct Replacement {
        const char* what;
        std::string list;
        bool shown;  // the report shows the list; otherwise its heading only
    };
    const std::string list = u8"{\"Regions\": [{\"Name\": \"星港 短\"}]}";
    const Replacement cases[] = {
        {"a shorter list in Chinese", list, true},
        {"the demo list, with CR LF line ends", u8"{\r\n  \"Regions\": [{\"Name\": \"华东\"}]\r\n}\r\n", true},
        // GB2312 has no byte order mark: the report leaves it out, the file keeps it.
        {"a list beginning with a UTF-8 byte order mark", "\xEF\xBB\xBF" + list, true},
        {u8"镕, a character of GBK outside GB2312", u8"{\"Regions\": [{\"Name\": \"朱镕\"}]}", false},
        {u8"𠮷, outside the basic plane", u8"{\"Regions\": [{\"Name\": \"𠮷野家\"}]}", false},
        {"an emoji", u8"{\"Regions\": [{\"Name\": \"星港 \xF0\x9F\x9A\x80\"}]}", false},
    };
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    for (const Replacement& replacement : cases) {
        SCOPED_TRACE(replacement.what);
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
        ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", {replacement.list}));
        ASSERT_NO_FATAL_FAILURE(Install(InstallReport(replacement.shown ? replacement.list : "")));
        ExpectFile(RegionFile(), replacement.list);
        ExpectFile(RegionFile() + L".bak", kOldRegionFile);
        ExpectFolderHolds(GameFolder(), {L"regionInfo.json", L"regionInfo.json.bak", L"regionInfo.json.record"});
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, AnErrorPageACutOffListOrNoServerListNeverReplacesTheRegionFile) {
    const std::string old = u8"{\"Regions\": [{\"Name\": \"旧\"}]}";
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(old));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    const std::string list = DemoList();
    struct BadList {
        const char* what;
        SiteVariant reply;
        ExpectedBox message;
    };
    const BadList cases[] = {
        {"404 with a list as its body", {list, 404}, kListError},
        {"500 with an empty body", {"", 500}, kListError},
        {"cut off", {list, 200, Delivery::Cut, 100}, kListError},
        {"the connection dropped before any answer", {"", 200, Delivery::Drop}, kListError},
        {"empty", {""}, kListError},
        {"a zero byte first", {std::string(1, '\0') + list}, kListError},
        {"a portal's page", {"<html><body>Please log in</body></html>", 200}, kNotAList},
        {"JSON cut short but delivered whole", {list.substr(0, list.size() / 2)}, kNotAList},
        {"a zero byte inside the list", {list.substr(0, 40) + std::string(1, '\0') + list.substr(40)}, kNotAList},
        // What many sites and CDNs send, with status 200, when they refuse a request.
        {"a rate limiter's JSON error", {"{\"code\":429,\"message\":\"rate limited\"}"}, kNotAList},
    };
    for (const BadList& bad : cases) {
        SCOPED_TRACE(bad.what);
        ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", bad.reply));
        ASSERT_NO_FATAL_FAILURE(Install(bad.message));
        ExpectFile(RegionFile(), old);
        ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, ARegionFileThatCannotBeReplacedIsKeptAndTheInstallReportsFailure) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    {
        SCOPED_TRACE("read-only");
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
        ASSERT_TRUE(SetReadOnly(RegionFile(), true));
        ASSERT_NO_FATAL_FAILURE(Install(kInstallFailed));
        ExpectFile(RegionFile(), kOldRegionFile);
        EXPECT_TRUE(IsReadOnly(RegionFile()));
        // The copy made before the file was found to be unwritable goes with the record.
        ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
        ASSERT_TRUE(SetReadOnly(RegionFile(), false));
    }
    {
        SCOPED_TRACE("held open by the running game");
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
        HeldFile game(RegionFile(), GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(game.IsOpen());
        // The replace is tried again while the file is held, then given up.
        ASSERT_NO_FATAL_FAILURE(Install(kInstallFailed, kAllPausesMs));
        ExpectFile(RegionFile(), kOldRegionFile);
        ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
    }
    // The game lets go and saves its file anew: that one is the player's,
    // which the next install keeps and the uninstall puts back.
    const std::string saved = u8"{\"CurrentRegionIdx\": 2, \"Regions\": [{\"Name\": \"新存的\"}]}";
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(saved));
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(Uninstall(kUninstalledAndPutBack));
    ExpectFile(RegionFile(), saved);
    ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, AnAddressTypedIntoTheSourceBoxIsTheOnlyOneFetched) {
    const std::string list = u8"{\"Regions\": [{\"Name\": \"镜像 华北\", \"PingServer\": \"mirror.example\"}]}";
    const std::string path = "/mirror/starfold/regions-2.json?channel=beta";
    ASSERT_TRUE(site_->Serve(path, {list}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, SiteOrigin() + WideFromUtf8(path)));
    ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(list), {path}));
    ExpectFile(RegionFile(), list);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, TheInstallButtonIsBusyForTheWholeRunWhileADownloadIsSlow) {
    ASSERT_NO_FATAL_FAILURE(WriteConfig("{\"serverURL\": \"wss://old.example/voice\", \"volume\": 80}"));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    struct Slow {
        const char* what;
        std::string path;
        std::string body;
        bool voiceChat;
        ExpectedBox report;
    };
    const Slow cases[] = {
        {"the server list", "/Lanternkit/serverlist.json", DemoList(), false, InstallReport(DemoList())},
        {"the voice-server address", "/Lanternkit/bcl.ini", "https://slow.example/voice", true,
         InstallReport(DemoList(), std::wstring(L"https://slow.example/voice"))},
        {"a list that ends in an error", "/Lanternkit/serverlist.json", "", false, kListError},
    };
    for (const Slow& slow : cases) {
        SCOPED_TRACE(slow.what);
        // Held back long enough that the looks below come while it is, however
        // slowly this test is scheduled.
        SiteVariant late{slow.body};
        late.delayMs = 2000;
        ASSERT_TRUE(site_->Serve(slow.path, late));
        if (slow.voiceChat) ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
        ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return InstallButtonIsBusy(); }))
            << u8"按钮1 reads " << Utf8(StoredWindowText(session_->ControlWindow(Control::按钮1)));
        // Busy before any box: the download is what it waits for.
        EXPECT_TRUE(OpenMessageBoxes(session_->Process().ProcessId()).empty());
        Sleep(200);
        EXPECT_TRUE(InstallButtonIsBusy()) << "still busy in the middle of the download";
        MessageBoxState box;
        ASSERT_NO_FATAL_FAILURE(ExpectBox(slow.report, &box));
        EXPECT_TRUE(InstallButtonIsBusy());
        ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
        ASSERT_NO_FATAL_FAILURE(ExpectInstallButtonIdle());
        if (slow.voiceChat) {
            ExpectFile(ConfigFile(), "{\"serverURL\": \"https://slow.example/voice\", \"volume\": 80}");
            ASSERT_NO_FATAL_FAILURE(Tick());  // back to the plain install
        }
        ExpectFile(RegionFile(), DemoList());
        ASSERT_TRUE(site_->Reset());
    }
    // The version reply, the configuration as read and as written, the server list.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

// Two installs over no region file (a list update) and an uninstall: the
// list goes, and is never taken for the player's file.
TEST_F(InstallScenario, UninstallDeletesOnlyTheInstalledListAndASecondOneChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Uninstall(kNothingInstalled));
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ASSERT_TRUE(WriteWholeFile(GameFolder() + L"\\settings.tallow", "{}"));
    ASSERT_NO_FATAL_FAILURE(Uninstall(kUninstalled));
    ExpectFolderHolds(GameFolder(), {L"settings.tallow"});
    ExpectFile(GameFolder() + L"\\settings.tallow", "{}");
    ASSERT_NO_FATAL_FAILURE(Uninstall(kNothingInstalled));
    // An install after the uninstall writes the file again.
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// The player's own region file comes back with the uninstall, a second
// uninstall leaves it, and the file the game writes after that is the one the
// next install keeps.
TEST_F(InstallScenario, InstallUninstallAndInstallAgainOverThePlayersFile) {
    const std::string own = u8"{\"Regions\": [{\"Name\": \"自己的\"}]}";
    const std::string later = u8"{\"CurrentRegionIdx\": 1, \"Regions\": [{\"Name\": \"后来的\"}]}";
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(own));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    for (const std::string& players : {own, later}) {
        ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
        ExpectFile(RegionFile() + L".bak", players);
        ASSERT_NO_FATAL_FAILURE(Uninstall(kUninstalledAndPutBack));
        ExpectFile(RegionFile(), players);
        ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
        // Clicked again "to be sure": the player's file stays.
        ASSERT_NO_FATAL_FAILURE(Uninstall(kNothingInstalled));
        ExpectFile(RegionFile(), players);
        // The game writes its file anew.
        ASSERT_TRUE(WriteWholeFile(RegionFile(), later));
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// On Linux, the game runs in a Proton prefix of a second Steam library: the
// rollback, the install and the uninstall act there, and nowhere else.
TEST_F(InstallScenario, UnderProtonEveryCommandActsOnThePrefixWhereTheGameRan) {
    const std::string unix = std::string(STARFOLD_E2E_UNIX_WORK) + "/" + Utf8(name_);
    const std::string steam = unix + "/home/.local/share/Steam", card = unix + "/card/SteamLibrary";
    const std::string prefix = card + "/steamapps/compatdata/4040/pfx";
    auto at = [](const std::string& path) { return WindowsPathFromUnix(path); };
    const std::wstring game = at(prefix + "/drive_c/users/steamuser/AppData/LocalLow/Mossgrove/Starfold");
    const std::wstring idle = at(steam + "/steamapps/compatdata/100/pfx/drive_c/users/steamuser/AppData/LocalLow");
    const std::string own = u8"{\"Regions\": [{\"Name\": \"自己的\"}]}";
    RemoveFolderTree(at(unix));
    ASSERT_TRUE(CreateFolderTree(game) && CreateFolderTree(idle) && CreateFolderTree(at(prefix + "/drive_c/users/steamuser/AppData/LocalLow/Unity/cache")));
    ASSERT_TRUE(WriteWholeFile(at(steam + "/steamapps/libraryfolders.vdf"),
                               "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam + "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + card + "\"\n\t}\n}\n"));
    ASSERT_TRUE(WriteWholeFile(game + L"\\regionInfo.json", own) && WriteWholeFile(game + L"\\settings.tallow", "{}"));
    // Its HOME, which Wine names to the installer, is unix + "/home" (tests/e2e/CMakeLists.txt).
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes(IDCANCEL, IDOK));
    EXPECT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return !PathExists(at(prefix + "/drive_c/users/steamuser/AppData/LocalLow/Unity")); }));
    ExpectFile(game + L"\\settings.tallow.bak", "{}");
    ExpectedBox report = InstallReport(DemoList());
    report.text.insert(report.text.find(L"\r\n"), L"\r\n\r\n已写入：\r\n" + WideFromUtf8(prefix));
    ASSERT_NO_FATAL_FAILURE(Install(report));
    ExpectFile(game + L"\\regionInfo.json", DemoList());
    ASSERT_NO_FATAL_FAILURE(Uninstall({L"卸载结果：", L"卸载成功。\r\n\r\n" + WideFromUtf8(prefix) + L"：已恢复安装前的社区服列表。", BoxIcon::Warning, {IDOK}}));
    ExpectFile(game + L"\\regionInfo.json", own);
    // Nothing in the profile's own LocalLow, where the game never ran, nor in the other prefix.
    ExpectFolderHolds(session_->Profile().localLow, {});
    ExpectFolderHolds(idle, {});
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// The player's own files are kept as .bak copies when the installer first
// replaces them. Between two runs the game and Voxbridge save their files
// again: the second run's copies would be the installer's own, so the first
// copies stay.
TEST_F(InstallScenario, ThePlayersOwnFilesAreKeptThroughTwoRunsWithTheGameSavingInBetween) {
    const std::wstring settings = GameFolder() + L"\\settings.tallow";
    const std::vector<std::pair<std::wstring, std::string>> own = {
        {RegionFile(), u8"{\"Regions\": [{\"Name\": \"自己的\"}]}"},
        {settings, "{\"dataVersion\": 3}"},
        {ConfigFile(), "{\"serverURL\": \"https://own.example/voice\", \"volume\": 80}"}};
    ASSERT_NO_FATAL_FAILURE(WriteConfig(own[2].second));
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(own[0].second));
    ASSERT_TRUE(WriteWholeFile(settings, own[1].second));
    ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", {"https://voice.example/two-runs"}));
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        // Each run is a start of its own, on the same profile.
        if (run > 1) session_ = std::make_unique<InstallerSession>(session_->Folder());
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes(IDCANCEL, IDOK));
        ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
        ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList(), L"https://voice.example/two-runs")));
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
        for (const auto& [file, bytes] : own) ExpectFile(file + L".bak", bytes);
        // The game and Voxbridge save their files again: a digit changes in each.
        for (const auto& [file, bytes] : own) {
            std::string saved = ReadWholeFile(file).value_or("");
            size_t digit = saved.find_last_of("0123456789");
            ASSERT_NE(digit, std::string::npos) << Utf8(file);
            saved[digit] = saved[digit] == '9' ? '8' : saved[digit] + 1;
            ASSERT_TRUE(WriteWholeFile(file, saved));
        }
    }
}

// A virus scanner or the game holding the region file open for a moment:
// the install waits for it, and then replaces it.
TEST_F(InstallScenario, ARegionFileHeldOpenForAMomentIsReplacedOnceItIsFree) {
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kOldRegionFile));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    HANDLE held = CreateFileW(RegionFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(1500);
        CloseHandle(held);
    });
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList()), kAllPausesMs));
    release.join();
    ExpectFile(RegionFile(), DemoList());
    ExpectFile(RegionFile() + L".bak", kOldRegionFile);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// A list of 60 regions, pretty-printed as community lists are: the report
// shows 20 of its lines and fits on the screen; the file holds the whole list.
TEST_F(InstallScenario, TheReportOfALongListShowsItsFirstLinesAndFitsOnTheScreen) {
    std::string list = "{\n  \"CurrentRegionIdx\": 0,\n  \"Regions\": [\n";
    for (int region = 1; region <= 60; ++region) {
        const std::string host = "r" + std::to_string(region) + ".starfold-cn.example";
        const std::string server = "\"Fqdn\": \"" + host + "\", \"Port\": 22023, \"UseDtls\": false }";
        list += u8"    {\n      \"Name\": \"星港社区服 " + std::to_string(region) + "\",\n      \"PingServer\": \"" + host +
                "\",\n      \"Servers\": [\n        { \"Name\": \"main\", " + server + ",\n        { \"Name\": \"backup\", " +
                server + "\n      ],\n      \"TranslateName\": 1003\n    }" + (region < 60 ? ",\n" : "\n");
    }
    list += "  ]\n}\n";
    ASSERT_GT(list.size(), 20000u);
    ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", {list}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
    MessageBoxState box;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(InstallReport(list), &box));
    EXPECT_NE(box.text.find(L"……（另有"), std::wstring::npos) << "the whole list is shown";
    RECT place = {};
    GetWindowRect(box.handle, &place);
    const RECT screen = ScreenRect();
    EXPECT_TRUE(place.top >= screen.top && place.bottom <= screen.bottom && place.left >= screen.left &&
                place.right <= screen.right)
        << "the report spans " << place.top << " to " << place.bottom << " on a screen " << screen.bottom << " high";
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    ExpectFile(RegionFile(), list);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

}  // namespace
