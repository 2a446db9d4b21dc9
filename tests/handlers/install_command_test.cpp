// The install command without the voice-chat option: the server list into
// the region file, the retry after a failed write, and what is refused.
#include "install/uninstall_command.h"
#include "startup/settings_rollback.h"
#include "tests/handlers/install_fixture.h"

#include <fstream>
#include <iterator>

namespace {

using InstallCommandTest = InstallTest;

TEST_F(InstallCommandTest, WritesTheListUnchangedAndReportsItConverted) {
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    EXPECT_EQ(State().ServerListBytes, kList);
    ExpectOnlyMessage(SuccessReport(LeftOut), 48, "安装结果：");
    // The record first, then the copy of the player's file, the list, and the record that it is in place.
    EXPECT_EQ(machine.log, (std::vector<std::string>{"Set 按钮1 禁止 true", "Set 按钮1 caption 安装中...",
                                                     "HttpGet " + kListUrl, "FileExists " + kCopyPath,
                                                     "ReadFileBytes " + kRecordPath, "FileExists " + kRegionPath,
                                                     "WriteFileBytes " + kRecordPath, "ReadFileBytes " + kRegionPath,
                                                     "WriteFileBytes " + kCopyPath, "WriteFileBytes " + kRegionPath,
                                                     "WriteFileBytes " + kRecordPath, "MsgBox 安装结果：",
                                                     "Set 按钮1 禁止 false", "Set 按钮1 caption 安装"}));
    EXPECT_EQ(machine.FileBytes(kCopyPath), kOldRegion);
    // The texts are GBK in the program: "安装成功!" and the caption's full-width colon.
    EXPECT_EQ(Bytes(machine.msgBoxes[0].message.substr(0, 9)),
              (ByteArray{0xB0, 0xB2, 0xD7, 0xB0, 0xB3, 0xC9, 0xB9, 0xA6, '!'}));
    EXPECT_EQ(Bytes(*machine.msgBoxes[0].caption),
              (ByteArray{0xB0, 0xB2, 0xD7, 0xB0, 0xBD, 0xE1, 0xB9, 0xFB, 0xA3, 0xBA}));
}

TEST_F(InstallCommandTest, FailedFirstWriteCreatesMakerThenGameFolderAndWritesOnceMore) {
    // As on a machine where the game has never run: LocalLow without Mossgrove.
    machine.RemoveTree(Text(FakeMachine::kAppData) + "..\\LocalLow\\Mossgrove");
    ASSERT_TRUE(machine.HasFolder(Text(FakeMachine::kAppData) + "..\\LocalLow"));
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    ExpectOnlyMessage(SuccessReport(LeftOut), 48, "安装结果：");
    Text appData = FakeMachine::kAppData;
    EXPECT_EQ(std::vector<std::string>(machine.log.begin() + 5, machine.log.end() - 3),
              (std::vector<std::string>{"FileExists " + kRegionPath, "WriteFileBytes " + kRecordPath,
                                        "CreateFolder " + appData + "..\\LocalLow\\Mossgrove\\",
                                        "CreateFolder " + appData + "..\\LocalLow\\Mossgrove\\Starfold",
                                        "WriteFileBytes " + kRecordPath, "WriteFileBytes " + kRegionPath,
                                        "WriteFileBytes " + kRecordPath}));
    ExpectBusyOnlyWhileRunning();
}

// Windows may name a LocalLow folder apart from the roaming one (either can
// be redirected): the game reads that one; Voxbridge stays with the roaming one.
TEST_F(InstallCommandTest, TheRegionFileGoesUnderTheLocalLowFolderThatWindowsNames) {
    const Text localLow = "D:\\玩家\\AppData\\LocalLow\\";
    machine.localLow = localLow;
    machine.AddFolder(localLow);
    window[Control::选择框1].selected = true;
    InstallCommand();
    EXPECT_EQ(machine.FileBytes(localLow + "Mossgrove\\Starfold\\regionInfo.json"), kList);
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kNewConfig);
    EXPECT_EQ(LogOf("CreateFolder"), (std::vector<std::string>{"CreateFolder " + localLow + "Mossgrove\\",
                                                               "CreateFolder " + localLow + "Mossgrove\\Starfold"}));

    // One that the program cannot name is not stood in for by the roaming folder's neighbour.
    SetUp();
    machine.localLow = "";
    Install();
    ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", 16, "安装结果：");
    EXPECT_TRUE(LogOf("WriteFileBytes").empty());
}

// The player's own bytes are always recoverable: the file the install
// replaces is kept beside it (not one of ours, when the game has saved ours
// again), the uninstall puts it back, and the file the game writes after
// that is the one the next install keeps.
TEST_F(InstallCommandTest, ThePlayersRegionFileComesBackThroughInstallsAndUninstalls) {
    const Text kCopy = kRegionPath + ".bak";
    const ByteArray kLater = Bytes("{\"CurrentRegionIdx\":2,\"Regions\":[{\"Name\":\"own, later\"}]}");
    Install();
    machine.AddFile(kRegionPath, Bytes("{\"CurrentRegionIdx\":1,\"Regions\":[{\"Name\":\"社区服\"}]}"));
    Install();
    EXPECT_EQ(machine.FileBytes(kCopy), kOldRegion);
    EXPECT_EQ(LogOf("WriteFileBytes " + kCopy).size(), 1u);
    UninstallCommand();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_FALSE(machine.HasFile(kCopy));
    machine.AddFile(kRegionPath, kLater);
    Install();
    EXPECT_EQ(machine.FileBytes(kCopy), kLater);
    UninstallCommand();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kLater);
    EXPECT_EQ(machine.msgBoxes.back().message, "卸载成功，已恢复安装前的社区服列表。");

    // Without a copy the player's file is not replaced.
    SetUp();
    machine.unwritable.insert(FakeMachine::Resolve(kCopy));
    Install();
    ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", 16, "安装结果：");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_EQ(std::count(machine.log.begin(), machine.log.end(), "WriteFileBytes " + kRegionPath), 0);
}

// A report as tall or as wide as the list would not fit on the screen: 20
// lines or 1,000 characters, and how many lines are not shown in full.
TEST_F(InstallCommandTest, TheReportShowsAtMostTwentyLinesAndAThousandCharactersOfTheList) {
    // Regions with the name's characters in UTF-8 as the site serves them, or in GBK as the report shows them.
    auto lines = [](const Text& name, int regions, Text list = "{\r\n  \"Regions\": [\r\n") {
        for (int region = 1; region <= regions; ++region)
            list += "    {\"Name\": \"" + name + std::to_string(region) + "\"},\r\n";
        return list;
    };
    auto oneLine = [](const Text& name, int regions, Text list = "{\"Regions\":[") {  // 29 characters a region
        for (int region = 10; region < 10 + regions; ++region)
            list += "{\"Name\":\"" + name + std::to_string(region) + "\",\"Port\":22023},";
        return list;
    };
    const std::pair<Text, Text> cases[] = {
        {lines(u8"区", 60) + "    {}\r\n  ]\r\n}", lines("区", 18) + "……（另有45行未显示）"},
        // 12 characters of the head, 34 regions and 2 characters of the next.
        {oneLine(u8"星港", 60) + "{}]}", oneLine("星港", 34) + "{\"……（另有1行未显示）"},
    };
    for (const auto& [served, shown] : cases) {
        SetUp();
        machine.web[kListUrl] = FakeMachine::Ok(served);
        Install();
        EXPECT_EQ(machine.FileBytes(kRegionPath), Bytes(served));
        ExpectOnlyMessage("安装成功!\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n" + shown, 48, "安装结果：");
    }
}

TEST_F(InstallCommandTest, BothWritesFailingIsReportedAndLeavesTheOldFile) {
    for (bool voiceChat : {false, true}) {
        SCOPED_TRACE(voiceChat);
        SetUp();
        window[Control::选择框1].selected = voiceChat;
        machine.unwritable.insert(FakeMachine::Resolve(kRegionPath));
        Install();
        ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", 16, "安装结果：");
        EXPECT_EQ(std::count(machine.log.begin(), machine.log.end(), "WriteFileBytes " + kRegionPath), 1);
        EXPECT_EQ(LogOf("CreateFolder").size(), 0u);  // the folders are there: the record was written
        // The player's file stays in place, with no copy or record left to take it for ours.
        EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
        EXPECT_FALSE(machine.HasFile(kCopyPath));
        EXPECT_FALSE(machine.HasFile(kRecordPath));
        // The Voxbridge change before it is put back.
        EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kOldConfig);
        ExpectBusyOnlyWhileRunning();
    }
}

// Only a whole download of the game's region file, a JSON object whose
// Regions lists the regions, is installed; anything else would leave the
// game with no servers.
TEST_F(InstallCommandTest, OnlyAWholeDownloadOfAListOfRegionsReplacesTheRegionFile) {
    const Text kListError = "未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。";
    const Text kNotAList = "安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。";
    const Text kInstalled;
    // A region holding arrays down to the given depth, counting the list's own three levels.
    auto nested = [](int depth) { return "{\"Regions\":[{\"a\":" + Text(depth - 3, '[') + Text(depth - 3, ']') + "}]}"; };
    std::ifstream demoList(STARFOLD_DEMO_SITE "/Lanternkit/serverlist.json", std::ios::binary);
    struct Case {
        const char* what;
        HttpResponse response;
        Text message;
    } cases[] = {
        {"nothing received", HttpResponse(), kListError},
        {"empty body", Response(200, true, {}), kListError},
        {"zero byte first", Response(200, true, {0, '{', '}'}), kListError},
        {"error page with a list", Response(404, true, kList), kListError},
        {"server error", Response(500, true, Bytes("{}")), kListError},
        {"cut off", Response(200, false, kList), kListError},
        {"captive portal", FakeMachine::Ok("<html><body>Log in to the Wi-Fi</body></html>"), kNotAList},
        {"list cut inside", FakeMachine::Ok("{\"Regions\":[{\"Name\":"), kNotAList},
        {"plain text", FakeMachine::Ok("https://voice.example"), kNotAList},
        {"zero byte after a list", Response(200, true, ToBytes(ToText(kList) + '\0' + "<p>")), kNotAList},
        {"a site's error object", FakeMachine::Ok("{\"code\":429,\"message\":\"rate limited\"}"), kNotAList},
        {"no regions", FakeMachine::Ok("{\"CurrentRegionIdx\":0,\"Regions\":[]}"), kNotAList},
        {"a bare array", FakeMachine::Ok("[{\"Name\":\"a\"}]"), kNotAList},
        {"a number as the regions", FakeMachine::Ok("{\"Regions\":42}"), kNotAList},
        {"a number as a region", FakeMachine::Ok("{\"Regions\":[{\"Name\":\"a\"},1]}"), kNotAList},
        {"regions spelt small", FakeMachine::Ok("{\"regions\":[{\"name\":\"a\"}]}"), kNotAList},
        {"regions inside another member", FakeMachine::Ok("{\"Data\":{\"Regions\":[{\"Name\":\"a\"}]}}"), kNotAList},
        {"an array 400,000 deep", FakeMachine::Ok(Text(400000, '[') + Text(400000, ']')), kNotAList},
        {"65 levels", FakeMachine::Ok(nested(65)), kNotAList},
        {"64 levels", FakeMachine::Ok(nested(64)), kInstalled},
        {"one region", FakeMachine::Ok("{\"Regions\":[{\"Name\":\"x\"}]}"), kInstalled},
        {"the demo site's list", FakeMachine::Ok(ByteArray(std::istreambuf_iterator<char>(demoList), {})), kInstalled},
        {"a byte-order mark first", FakeMachine::Ok("\xEF\xBB\xBF{\"Regions\":[{\"Name\":\"x\"}]}"), kInstalled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        machine.web[kListUrl] = c.response;
        Install();
        EXPECT_EQ(State().ServerListBytes, c.response.body);
        ExpectBusyOnlyWhileRunning();
        EXPECT_EQ(machine.FileBytes(kRegionPath), c.message == kInstalled ? c.response.body : kOldRegion);
        if (c.message == kInstalled) continue;
        ExpectOnlyMessage(c.message, 16, "错误！");
        EXPECT_TRUE(LogOf("WriteFileBytes").empty());
    }
}

// GB2312 has no byte-order mark: the report leaves it out, the file keeps it.
TEST_F(InstallCommandTest, TheReportShowsAListWithAByteOrderMarkAndNoneThatGb2312Lacks) {
    ByteArray withMark = {0xEF, 0xBB, 0xBF};
    withMark.insert(withMark.end(), kList.begin(), kList.end());
    const ByteArray withEmoji = Bytes(u8"{\"Regions\":[{\"Name\":\"😀\"}]}");
    for (const ByteArray& list : {withMark, withEmoji}) {
        SetUp();
        machine.web[kListUrl] = FakeMachine::Ok(list);
        Install();
        EXPECT_EQ(machine.FileBytes(kRegionPath), list);
        if (list == withMark) ExpectOnlyMessage(SuccessReport(LeftOut), 48, "安装结果：");
        else ExpectOnlyMessage("安装成功!\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n", 48, "安装结果：");
    }
}

TEST_F(InstallCommandTest, EditedAddressIsFetchedExactlyAsTyped) {
    const Text typed = " http://127.0.0.1:9/my list.json#top ";
    window[Control::编辑框1].text = typed;
    machine.web[typed] = FakeMachine::Ok(kList);
    Install();
    EXPECT_EQ(machine.requests, std::vector<Text>{typed});
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
}

TEST_F(InstallCommandTest, EachInstallReplacesTheKeptList) {
    Install();
    const ByteArray other = Bytes("{\"Regions\":[{\"Name\":\"b\"}]}");
    machine.web[kListUrl] = FakeMachine::Ok(other);
    Install();
    EXPECT_EQ(State().ServerListBytes, other);
    EXPECT_EQ(machine.FileBytes(kRegionPath), other);
}

}  // namespace

// Under Wine, with the game run in a Proton prefix as well: every command
// (install, uninstall, rollback) acts on both places, a place that fails is
// named without undoing the other, and the reports name the places.
TEST_F(InstallTest, EveryCommandActsOnEveryPlaceWhereTheGameRan) {
    machine.underWine = true;
    machine.unixHome = "Z:\\home\\deck\\";
    const Text prefix = "/home/deck/.steam/steam/steamapps/compatdata/4040/pfx";
    const Text proton = "Z:" + ReplaceSubtext(prefix, "/", Text("\\"), LeftOut, LeftOut, true) +
                        "\\drive_c\\users\\steamuser\\AppData\\LocalLow\\";
    const Text own = Text(FakeMachine::kAppData) + "..\\LocalLow\\";
    machine.AddFolder(proton + "Mossgrove\\Starfold");
    const Text region = proton + "Mossgrove\\Starfold\\regionInfo.json";
    machine.unwritable.insert(FakeMachine::Resolve(region));
    InstallCommand();
    ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！\r\n\r\n未能写入：\r\n" + prefix +
                          "\r\n\r\n已写入：\r\n" + own, 16, "安装结果：");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    machine.unwritable.clear();
    Install();
    const Text kSucceeded = "安装成功!";
    EXPECT_EQ(machine.msgBoxes.back().message, kSucceeded + "\r\n\r\n已写入：\r\n" + own + "\r\n" + prefix +
                                                   SuccessReport(LeftOut).substr(kSucceeded.size()));
    EXPECT_EQ(machine.FileBytes(region), kList);
    UninstallCommand();
    EXPECT_EQ(machine.msgBoxes.back().message, "卸载成功。\r\n\r\n" + own + "：已恢复安装前的社区服列表。\r\n" + prefix + "：已卸载。");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_FALSE(machine.HasFile(region));
    SettingsRollback();  // OK
    for (const Text& root : {own, proton}) EXPECT_EQ(machine.FileBytes(root + "Mossgrove\\Starfold\\settings.tallow"), SettingsTemplate());
}

// Under Wine, where the game has run in no place the program finds (or the
// Unix home has no GBK name, so none is searched), the list goes into the
// installer's own prefix and the report says so, and where; on Windows the
// box is as it was.
TEST_F(InstallTest, WhereTheGameRanNowhereUnderWineTheReportSaysSoAndWhereTheListWent) {
    const Text own = Text(FakeMachine::kAppData) + "..\\LocalLow\\";
    machine.RemoveTree(own + "Mossgrove");
    machine.underWine = true;
    for (const Text& home : {Text("Z:\\home\\deck\\"), Text()}) {
        machine.unixHome = home;
        machine.msgBoxes.clear();
        InstallCommand();
        ASSERT_EQ(machine.msgBoxes.size(), 1u);
        EXPECT_EQ(machine.msgBoxes[0].message.rfind("安装成功!\r\n\r\n未找到游戏运行过的位置（请先运行一次游戏）。已写入：\r\n" + own +
                                                         "\r\n\r\n安装内容",
                                                     0),
                  0u)
            << machine.msgBoxes[0].message;
        EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
        machine.RemoveTree(own + "Mossgrove");
    }
    machine.underWine = false;
    machine.msgBoxes.clear();
    InstallCommand();
    ASSERT_EQ(machine.msgBoxes.size(), 1u);
    EXPECT_EQ(machine.msgBoxes[0].message.rfind("安装成功!\r\n\r\n安装内容", 0), 0u);
}
