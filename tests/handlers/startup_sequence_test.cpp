// The start-up sequence: rollback offer, version check, announcement with
// the game's termination, and the source page.
#include "startup/startup_sequence.h"
#include "tests/handlers/handler_fixture.h"

namespace {

class StartupSequenceTest : public HandlerTest {
protected:
    const Text kVersionUrl = SITE_BASE "/Lanternkit/versioninfo.json";
    const Text kAnnouncementUrl = SITE_BASE "/Lanternkit/announcer.txt";
    const Text kTaskkill = "\"C:\\windows\\system32\\taskkill.exe\" /f /im \"Starfold.exe\"";
    const Text kSourcePage = "Set 超文本浏览框1 地址 " SITE_BASE "/Lanternkit/SourceInfo.html";

    void SetUp() override {
        HandlerTest::SetUp();
        machine.web[kVersionUrl] = FakeMachine::Ok("1.2024.9.23");
        machine.web[kAnnouncementUrl] = FakeMachine::Ok("今晚维护");
        machine.msgBoxAnswers = {kMsgBoxCancel};  // no rollback
    }

    std::vector<Text> Captions() const {
        std::vector<Text> captions;
        for (const MsgBoxCall& box : machine.msgBoxes) captions.push_back(box.caption.value_or(""));
        return captions;
    }

    static Text NewVersionMessage(const Text& latest) {
        return "发现新版本！\r\n当前版本：1.2024.9.23\r\n最新版本：" + latest + "\r\n是否前往下载新版本安装器？";
    }
};

TEST_F(StartupSequenceTest, CurrentVersionRunsTheFourStepsInOrder) {
    machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxOk};
    StartupSequence();
    EXPECT_EQ(machine.log, (std::vector<std::string>{"MsgBox 数据版本回退", "HttpGet " + kVersionUrl,
                                                     "HttpGet " + kAnnouncementUrl, "MsgBox 公告",
                                                     "RunCommand " + kTaskkill, kSourcePage}));
    ExpectMessage(1, "今晚维护", 0x41, "公告");
    ASSERT_EQ(machine.commands.size(), 1u);
    EXPECT_EQ(machine.commands[0].waitForExit, std::optional<bool>(false));
    EXPECT_EQ(machine.commands[0].showMode, std::optional<int>(1));
    EXPECT_EQ(State().VersionReply, Bytes("1.2024.9.23"));
}

// Boxes that Windows cannot show (the desktop heap used up) answer for the
// player as cautiously as they can: no rollback, no download, no game ended.
TEST_F(StartupSequenceTest, BoxesThatCannotBeShownChangeNothing) {
    machine.AddFolder(Text(FakeMachine::kAppData) + "..\\LocalLow\\Unity");
    machine.web[kVersionUrl] = FakeMachine::Ok("1.2025.1.1");
    machine.msgBoxAnswers.assign(3, FakeMachine::kBoxNotShown);
    StartupSequence();
    EXPECT_EQ(Captions(), (std::vector<Text>{"数据版本回退", "发现新版本：", "公告"}));
    EXPECT_EQ(LogOf("MsgBox").size() + LogOf("HttpGet").size() + 1, machine.log.size()) << "only the source page besides";
    EXPECT_EQ(machine.log.back(), kSourcePage);
}

TEST_F(StartupSequenceTest, VersionRepliesAreJudgedWholeAndTrimmed) {
    const Text kNetworkError = "未能从服务器获得版本信息，请检查网络是否畅通。";
    struct Case {
        const char* what;
        HttpResponse reply;
        Text message;  // empty: no box between the rollback question and the announcement
    } cases[] = {
        {"exactly the version", FakeMachine::Ok("1.2024.9.23"), ""},
        {"with a line end", FakeMachine::Ok("1.2024.9.23\r\n"), ""},
        {"with blanks about it", FakeMachine::Ok(" \t1.2024.9.23\n"), ""},
        {"saved with a byte-order mark", FakeMachine::Ok("\xEF\xBB\xBF" "1.2024.9.23\r\n"), ""},
        {"newer, with a byte-order mark", FakeMachine::Ok("\xEF\xBB\xBF" "1.2025.1.1"), NewVersionMessage("1.2025.1.1")},
        {"older version", FakeMachine::Ok("1.2024.6.18"), NewVersionMessage("1.2024.6.18")},
        {"newer with a line end", FakeMachine::Ok("1.2025.1.1\r\n"), NewVersionMessage("1.2025.1.1")},
        {"longer text", FakeMachine::Ok("1.2024.9.23.1"), NewVersionMessage("1.2024.9.23.1")},
        {"letters and signs of a version", FakeMachine::Ok("2.0.0-beta_1+cn\n"), NewVersionMessage("2.0.0-beta_1+cn")},
        {"32 characters", FakeMachine::Ok(Text(30, '9') + ".1"), NewVersionMessage(Text(30, '9') + ".1")},
        // Anything else is no version: a portal's page, a longer text, a zero byte or a blank inside.
        {"33 characters", FakeMachine::Ok(Text(31, '9') + ".1"), kNetworkError},
        {"a captive portal's page", FakeMachine::Ok("<!DOCTYPE html><html><body>Log in</body></html>"), kNetworkError},
        {"zero byte after the version", Response(200, true, {'1', '.', '2', '0', '2', '4', '.', '9', '.', '2', '3', 0, '!'}),
         kNetworkError},
        {"nothing received", HttpResponse(), kNetworkError},
        {"zero byte first", Response(200, true, {0, '2'}), kNetworkError},
        {"only a line end", FakeMachine::Ok("\r\n"), kNetworkError},
        {"error page", Response(404, true, Bytes("<h1>Not Found</h1>")), kNetworkError},
        {"error status with the version", Response(503, true, Bytes("1.2024.9.23")), kNetworkError},
        {"cut off", Response(200, false, Bytes("1.2025")), kNetworkError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        machine.web[kVersionUrl] = c.reply;
        machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxNo, kMsgBoxCancel};
        StartupSequence();
        EXPECT_EQ(State().VersionReply, c.reply.body);
        EXPECT_EQ(machine.log.back(), kSourcePage);
        if (c.message.empty()) {
            EXPECT_EQ(Captions(), (std::vector<Text>{"数据版本回退", "公告"}));
            continue;
        }
        ASSERT_EQ(machine.msgBoxes.size(), 3u);
        bool network = c.message == kNetworkError;
        ExpectMessage(1, c.message, network ? 0x10 : 0x24, network ? "网络错误！" : "发现新版本：");
        EXPECT_EQ(machine.msgBoxes[2].caption, Text("公告"));
    }
}

TEST_F(StartupSequenceTest, YesOpensTheDownloadPageAndEndsTheProgramThere) {
    machine.web[kVersionUrl] = FakeMachine::Ok("2.0");
    machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxYes};
    EXPECT_THROW(StartupSequence(), ProgramEnded);  // the exit code is in the log
    EXPECT_EQ(machine.log, (std::vector<std::string>{"MsgBox 数据版本回退", "HttpGet " + kVersionUrl,
                                                     "MsgBox 发现新版本：", "OpenUrl " SITE_BASE "/?page_id=38",
                                                     "EndProgram 0"}));
}

// The GBK bytes as received, as much as a box can show; an error page or a
// cut-off text is no announcement.
TEST_F(StartupSequenceTest, AnnouncementShowsTheGbkBytesAsReceived) {
    const Text many = ReplaceSubtext(Text(30, '*'), "*", Text("第条\r\n"), LeftOut, LeftOut, true);
    const Text gbk = {'\xB9', '\xAB', '\xB8', '\xE6', '\r', '\n', 'v', '2'};  // 公告, a line end, v2
    const std::pair<HttpResponse, Text> cases[] = {
        {FakeMachine::Ok(gbk), gbk},
        {FakeMachine::Ok(many), many.substr(0, 20 * 6) + "……（另有10行未显示）"},
        {FakeMachine::Ok(Text(3000, 'x')), Text(1000, 'x') + "……（另有1行未显示）"},
        {Response(404, true, Bytes("<html><body>404 Not Found</body></html>")), ""},
        {Response(200, false, Bytes(gbk)), ""},
    };
    for (const auto& [reply, shown] : cases) {
        SetUp();
        machine.web[kAnnouncementUrl] = reply;
        StartupSequence();
        EXPECT_EQ(machine.msgBoxes.at(1).message, shown);
    }
}

TEST_F(StartupSequenceTest, CancelOnTheAnnouncementLeavesTheGameRunning) {
    machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxCancel};
    StartupSequence();
    EXPECT_TRUE(machine.commands.empty());
    EXPECT_EQ(machine.log.back(), kSourcePage);
}

TEST_F(StartupSequenceTest, WithoutASystemFolderTaskkillIsNotStarted) {
    // Never a bare "taskkill", which would find one beside the installer first.
    machine.specialFolders.erase(10);
    machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxOk};
    StartupSequence();
    EXPECT_TRUE(machine.commands.empty());
    EXPECT_EQ(machine.log.back(), kSourcePage);
}

TEST_F(StartupSequenceTest, UnreachableSiteGivesNetworkErrorThenAnEmptyAnnouncementThenThePage) {
    machine.web.clear();
    machine.msgBoxAnswers = {kMsgBoxCancel, kMsgBoxOk, kMsgBoxOk};
    StartupSequence();
    EXPECT_EQ(Captions(), (std::vector<Text>{"数据版本回退", "网络错误！", "公告"}));
    EXPECT_EQ(machine.msgBoxes[2].message, "");
    EXPECT_EQ(machine.commands.at(0).commandLine, kTaskkill);  // OK still ends the game
    EXPECT_EQ(machine.log.back(), kSourcePage);
    EXPECT_EQ(window[Control::超文本浏览框1].text, SITE_BASE "/Lanternkit/SourceInfo.html");
}

}  // namespace
