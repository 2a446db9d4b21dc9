// The install command without the voice-chat option: the server list into
// the region file, the retry after a failed write, and what is refused.
#include "install/uninstall_command.h"
#include "tests/handlers/install_fixture.h"

namespace {

using InstallCommandTest = InstallTest;

TEST_F(InstallCommandTest, WritesTheListUnchangedAndReportsItConverted) {
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    EXPECT_EQ(State().ServerListBytes, kList);
    ExpectOnlyMessage(SuccessReport(LeftOut), 48, "安装结果：");
    EXPECT_EQ(machine.log, (std::vector<std::string>{"Set 按钮1 禁止 true", "Set 按钮1 caption 安装中...",
                                                     "HttpGet " + kListUrl, "FileExists " + kRegionPath,
                                                     "ReadFileBytes " + kRegionPath, "WriteFileBytes " + kRegionPath + ".bak",
                                                     "WriteFileBytes " + kRegionPath,
                                                     "MsgBox 安装结果：", "Set 按钮1 禁止 false",
                                                     "Set 按钮1 caption 安装"}));
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
    EXPECT_EQ(std::vector<std::string>(machine.log.begin() + 3, machine.log.end() - 3),
              (std::vector<std::string>{"FileExists " + kRegionPath, "WriteFileBytes " + kRegionPath,
                                        "CreateFolder " + appData + "..\\LocalLow\\Mossgrove\\",
                                        "CreateFolder " + appData + "..\\LocalLow\\Mossgrove\\Starfold",
                                        "WriteFileBytes " + kRegionPath}));
    ExpectBusyOnlyWhileRunning();
}

// Windows may name a LocalLow folder apart from the roaming one (either can
// be redirected): the game reads that one; Voxbridge stays with the roaming one.
TEST_F(InstallCommandTest, TheRegionFileGoesUnderTheLocalLowFolderThatWindowsNames) {
    machine.localLow = "D:\\玩家\\AppData\\LocalLow\\";
    machine.AddFolder(machine.localLow);
    window[Control::选择框1].selected = true;
    InstallCommand();
    EXPECT_EQ(machine.FileBytes(machine.localLow + "Mossgrove\\Starfold\\regionInfo.json"), kList);
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kNewConfig);
    EXPECT_EQ(LogOf("CreateFolder"), (std::vector<std::string>{"CreateFolder " + machine.localLow + "Mossgrove\\",
                                                               "CreateFolder " + machine.localLow + "Mossgrove\\Starfold"}));
}

// The player's own region file is kept beside it; a second install keeps
// that copy rather than one of ours, and uninstalling leaves it.
TEST_F(InstallCommandTest, ThePlayersRegionFileIsKeptAsACopyThatLaterRunsKeep) {
    const Text kCopy = kRegionPath + ".bak";
    Install();
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    EXPECT_EQ(machine.FileBytes(kCopy), kOldRegion);
    EXPECT_EQ(LogOf("WriteFileBytes " + kCopy).size(), 1u);
    UninstallCommand();
    EXPECT_FALSE(machine.HasFile(kRegionPath));
    EXPECT_EQ(machine.FileBytes(kCopy), kOldRegion);

    // Without a copy the player's file is not replaced.
    SetUp();
    machine.unwritable.insert(FakeMachine::Resolve(kCopy));
    Install();
    ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", 16, "安装结果：");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_EQ(std::count(machine.log.begin(), machine.log.end(), "WriteFileBytes " + kRegionPath), 0);
}

// A report as tall as the list would not fit on the screen: 20 lines, and
// how many more there are.
TEST_F(InstallCommandTest, TheReportShowsTheFirstTwentyLinesOfALongList) {
    // The list in UTF-8 as the site serves it, and as the report shows it.
    auto listIn = [](const Text& region) {
        Text list = "{\r\n";
        for (int line = 1; line <= 60; ++line) list += "  \"" + region + std::to_string(line) + "\": 1,\r\n";
        return list + "  \"end\": 0\r\n}";
    };
    const Text utf8 = listIn(u8"区"), shown = listIn("区");
    machine.web[kListUrl] = FakeMachine::Ok(utf8);
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), Bytes(utf8));
    size_t twentieth = 0;
    for (int line = 0; line < 20; ++line) twentieth = shown.find("\r\n", twentieth) + 2;
    const Text heading = "安装成功!\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n";
    ExpectOnlyMessage(heading + shown.substr(0, twentieth) + "……（另有43行未显示）", 48, "安装结果：");
}

TEST_F(InstallCommandTest, BothWritesFailingIsReportedAndLeavesTheOldFile) {
    for (bool voiceChat : {false, true}) {
        SCOPED_TRACE(voiceChat);
        SetUp();
        window[Control::选择框1].selected = voiceChat;
        machine.unwritable.insert(FakeMachine::Resolve(kRegionPath));
        Install();
        ExpectOnlyMessage("安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", 16, "安装结果：");
        EXPECT_EQ(LogOf("WriteFileBytes " + kRegionPath).size(), 3u);  // the copy, and twice the file
        EXPECT_EQ(LogOf("CreateFolder").size(), 2u);
        EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
        // The Voxbridge change before it stands; no success names it.
        EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), voiceChat ? kNewConfig : kOldConfig);
        ExpectBusyOnlyWhileRunning();
    }
}

TEST_F(InstallCommandTest, OnlyAWholeSuccessfulJsonDownloadReplacesTheRegionFile) {
    const Text kListError = "未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。";
    const Text kNotJson = "安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。";
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
        {"captive portal", FakeMachine::Ok("<html><body>Log in to the Wi-Fi</body></html>"), kNotJson},
        {"list cut inside", FakeMachine::Ok("{\"regions\":[{\"name\":"), kNotJson},
        {"plain text", FakeMachine::Ok("wss://voice.example"), kNotJson},
        {"zero byte after a list", Response(200, true, {'{', '}', 0, '<', 'p', '>'}), kNotJson},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        machine.web[kListUrl] = c.response;
        Install();
        ExpectOnlyMessage(c.message, 16, "错误！");
        EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
        EXPECT_TRUE(LogOf("WriteFileBytes").empty());
        EXPECT_EQ(State().ServerListBytes, c.response.body);
        ExpectBusyOnlyWhileRunning();
    }
}

TEST_F(InstallCommandTest, ListsTheReportCannotShowAreStillInstalledAsReceived) {
    ByteArray withMark = {0xEF, 0xBB, 0xBF};
    withMark.insert(withMark.end(), kList.begin(), kList.end());
    ByteArray withEmoji = Bytes(u8"{\"name\":\"😀\"}");
    for (const ByteArray& list : {withMark, withEmoji}) {
        SetUp();
        machine.web[kListUrl] = FakeMachine::Ok(list);
        Install();
        EXPECT_EQ(machine.FileBytes(kRegionPath), list);
        // GB2312 has neither the byte-order mark nor the emoji: no content shown.
        ExpectOnlyMessage("安装成功!\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n", 48, "安装结果：");
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
    machine.web[kListUrl] = FakeMachine::Ok("[1]");
    Install();
    EXPECT_EQ(State().ServerListBytes, Bytes("[1]"));
    EXPECT_EQ(machine.FileBytes(kRegionPath), Bytes("[1]"));
}

}  // namespace
