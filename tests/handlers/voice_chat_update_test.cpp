// The install with 选择框1 ticked: Voxbridge's serverURL and the list judged
// first, then both written.
#include "install/voice_chat_update.h"
#include "model/layout_switches.h"
#include "model/shutdown.h"
#include "tests/handlers/install_fixture.h"

namespace {

class VoiceChatUpdateTest : public InstallTest {
protected:
    void SetUp() override {
        InstallTest::SetUp();
        TickVoiceChat();
    }
    // Rewrites a configuration holding `config` with the address `address`
    // and gives the file as it is afterwards.
    Text Rewrite(const Text& config, const Text& address = "https://new") {
        machine.AddFile(kConfigPath, Bytes(config));
        machine.web[kAddressUrl] = FakeMachine::Ok(address);
        Text prepared;
        if (PrepareVoiceChatUpdate(&prepared) == VoiceChatOutcome::GoOn) WriteVoiceChatUpdate(prepared);
        return ToText(machine.FileBytes(kConfigPath));
    }
};

TEST_F(VoiceChatUpdateTest, RewritesServerUrlAndNamesTheAddressWrittenInTheReport) {
    Install();
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kNewConfig);
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    // The address as written, without the line end of bcl.ini, fetched once.
    ExpectOnlyMessage(SuccessReport(Text("https://voice.example:7000")), 48, "安装结果：");
    EXPECT_EQ(RequestsOf(kAddressUrl), 1);
    EXPECT_EQ(machine.log, (std::vector<std::string>{
                               "Set 按钮1 禁止 true", "Set 按钮1 caption 安装中...", "FileExists " + kConfigPath,
                               "FileExists " + kConfigPath, "ReadFileBytes " + kConfigPath, "HttpGet " + kAddressUrl, "HttpGet " + kListUrl,
                               // Read again just before it is written: Voxbridge may have saved meanwhile.
                               "ReadFileBytes " + kConfigPath, "FileExists " + kConfigPath, "FileExists " + kConfigPath + ".bak",
                               "ReadFileBytes " + kConfigPath, "WriteFileBytes " + kConfigPath + ".bak",
                               "WriteFileBytes " + kConfigPath, "FileExists " + kCopyPath, "ReadFileBytes " + kRecordPath,
                               "FileExists " + kRegionPath, "WriteFileBytes " + kRecordPath, "ReadFileBytes " + kRegionPath,
                               "WriteFileBytes " + kCopyPath, "WriteFileBytes " + kRegionPath, "WriteFileBytes " + kRecordPath,
                               "MsgBox 安装结果：", "Set 按钮1 禁止 false", "Set 按钮1 caption 安装"}));
    EXPECT_EQ(State().ConfigBytes, Bytes(kOldConfig));
    EXPECT_EQ(State().KeyPosition, static_cast<int>(kOldConfig.find("\"serverURL\"")) + 1);
    EXPECT_EQ(State().CommaPosition, static_cast<int>(kOldConfig.find(',', kOldConfig.find("serverURL"))) + 1);
    EXPECT_EQ(State().NewConfigBytes, Bytes(kNewConfig));

    // Voxbridge saves its configuration again; the next update keeps the
    // player's own as the copy.
    machine.AddFile(kConfigPath, Bytes(ReplaceSubtext(kOldConfig, "3", Text("4"), LeftOut, LeftOut, true)));
    Install();
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath + ".bak")), kOldConfig);
}

TEST_F(VoiceChatUpdateTest, ReplacesFromTheKeyUpToTheFirstCommaBehindIt) {
    // Directly followed by a comma: only the value changes.
    EXPECT_EQ(Rewrite("{\"a\": 1, \"serverURL\": \"old\", \"b\": 2}"), "{\"a\": 1, \"serverURL\": \"https://new\", \"b\": 2}");
    // Blanks and a line end before the comma go.
    EXPECT_EQ(Rewrite("{\"serverURL\": \"old\" \r\n , \"b\": 2}"), "{\"serverURL\": \"https://new\", \"b\": 2}");
    // Only the first occurrence.
    EXPECT_EQ(Rewrite("{\"serverURL\": \"x\", \"serverURL\": \"y\",}"), "{\"serverURL\": \"https://new\", \"serverURL\": \"y\",}");
    // More spaces after the colon are found; one is left.
    EXPECT_EQ(Rewrite("{\"serverURL\":    \"old\",}"), "{\"serverURL\": \"https://new\",}");
    // A bare word, and a string with an escaped quote inside, are whole old values.
    EXPECT_EQ(Rewrite("{\"serverURL\": null, \"b\": 2}"), "{\"serverURL\": \"https://new\", \"b\": 2}");
    EXPECT_EQ(Rewrite("{\"serverURL\": \"a\\\"b\", \"c\": 1}"), "{\"serverURL\": \"https://new\", \"c\": 1}");
    // A byte-order mark and Chinese text before the key stay; six UTF-8
    // bytes before the quote keep the search in step.
    EXPECT_EQ(Rewrite(u8"\xEF\xBB\xBF{\"名字\": 1, \"serverURL\": \"old\",}"),
              u8"\xEF\xBB\xBF{\"名字\": 1, \"serverURL\": \"https://new\",}");
    // An address with a port, a path and a line end, or in capitals, is written trimmed.
    EXPECT_EQ(Rewrite("{\"serverURL\": \"old\",}", "https://voice.example.org:8443/vc\r\n"),
              "{\"serverURL\": \"https://voice.example.org:8443/vc\",}");
    EXPECT_EQ(Rewrite("{\"serverURL\": \"old\",}", "HTTP://Voice.Example.org"), "{\"serverURL\": \"HTTP://Voice.Example.org\",}");
    // An editor's byte-order mark before the address is no part of it.
    EXPECT_EQ(Rewrite("{\"serverURL\": \"old\",}", "\xEF\xBB\xBFhttps://voice.example.org/vc\r\n"),
              "{\"serverURL\": \"https://voice.example.org/vc\",}");
}

TEST_F(VoiceChatUpdateTest, VoxbridgeMissingClearsTheBoxCollapsesAndStopsTheInstall) {
    machine.files.erase(FakeMachine::Resolve(kConfigPath));
    SetVoiceChatLayout();
    window.writes.clear();
    Install();
    ExpectOnlyMessage("您尚未安装Voxbridge,请安装Voxbridge并运行一次后再尝试安装Voxbridge社区服！", 16, "错误!");
    EXPECT_EQ(Bytes(*machine.msgBoxes[0].caption), (ByteArray{0xB4, 0xED, 0xCE, 0xF3, '!'}));
    // The box cleared, then the collapsed layout with the layout switch's values in its order.
    std::vector<PropertyAccess> expected = {{Control::按钮1, Property::禁止, "true"},
                                            {Control::按钮1, Property::caption, "安装中..."},
                                            {Control::选择框1, Property::selected, "false"}};
    for (const PropertyAccess& step : LayoutWrites(SetCollapsedLayout)) expected.push_back(step);
    expected.push_back({Control::按钮1, Property::禁止, "false"});
    expected.push_back({Control::按钮1, Property::caption, "安装"});
    EXPECT_EQ(window.writes, expected);
    EXPECT_TRUE(machine.requests.empty());
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);

    // The cleared box holds for the next install, which skips Voxbridge.
    machine.log.clear();
    Install();
    EXPECT_TRUE(LogOf("FileExists " + kConfigPath).empty());
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
}

// What the install reports is what it did: a list refused, or a region file
// that cannot be written, leaves Voxbridge's configuration as it was.
TEST_F(VoiceChatUpdateTest, AnInstallThatFailsLeavesTheConfigurationAsItWas) {
    const std::pair<HttpResponse, Text> lists[] = {
        {Response(200, true, {}), "未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。"},
        {FakeMachine::Ok("<html><body>Login</body></html>"), "安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。"},
        {FakeMachine::Ok(kList), "安装失败，请重试。若再次失败请检查文件权限或寻求帮助！"}};  // region file not writable
    for (const auto& [list, message] : lists) {
        SetUp();
        machine.web[kListUrl] = list;
        machine.unwritable.insert(FakeMachine::Resolve(kRegionPath));
        Install();
        EXPECT_EQ(machine.msgBoxes.at(0).message, message);
        EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kOldConfig);
    }
}

// Every way the Voxbridge change can be unsound: the configuration stays as
// it was, the user is told why, and the region file is not touched.
TEST_F(VoiceChatUpdateTest, UnsoundChangeLeavesTheConfigurationAndTheRegionFile) {
    const Text kFormat = "未能识别Voxbridge配置文件的格式，Voxbridge配置未作修改。";
    const Text kAddress = "未能获取有效的Voxbridge社区服地址，Voxbridge配置未作修改。";
    const Text kWrite = "Voxbridge配置文件写入失败，请检查文件权限后重试。";
    struct Case {
        const char* what;
        ByteArray config;
        Text message;
        HttpResponse address = FakeMachine::Ok("https://new");
        bool unreadable = false, unwritable = false;
    } cases[] = {
        {"key missing", Bytes("{\"server\": \"old\",}"), kFormat},
        {"no space after the colon", Bytes("{\"serverURL\":\"old\",}"), kFormat},
        {"other capitals", Bytes("{\"serverUrl\": \"old\",}"), kFormat},
        {"no comma behind the key", Bytes("{\"a\": 1, \"serverURL\": \"old\"}"), kFormat},
        // Three UTF-8 bytes before the quote: the search steps over it in a pair.
        {"key out of step", Bytes(u8"{\"名\"serverURL\": \"old\",}"), kFormat},
        // The key's bytes behind an escaped quote, at the end of another member's name.
        {"key at the end of another name", Bytes("{\"x\\\"serverURL\": 1, \"serverURL\": \"old\"}"), kFormat},
        // The first comma behind the key lies inside the old value.
        {"comma inside the old value", Bytes("{\"serverURL\": \"wss://a/?r=1,2\", \"b\": 2}"), kFormat},
        {"comma behind an escaped quote", Bytes("{\"serverURL\": \"a\\\",b\", \"c\": 1}"), kFormat},
        {"object as the old value", Bytes("{\"serverURL\": {\"a\": \"x\", \"b\": \"y\"}, \"c\": 1}"), kFormat},
        {"empty file", {}, kFormat},
        {"unreadable file", Bytes(kOldConfig), kFormat, FakeMachine::Ok("https://new"), true},
        {"zero byte after the key", {'{', '"', 's', 'e', 'r', 'v', 'e', 'r', 'U', 'R', 'L', '"', ':', ' ', '1', ',', 0, '}'},
         kFormat},
        {"nothing received", Bytes(kOldConfig), kAddress, HttpResponse()},
        {"empty address", Bytes(kOldConfig), kAddress, FakeMachine::Ok("")},
        {"only a line end", Bytes(kOldConfig), kAddress, FakeMachine::Ok(" \r\n")},
        {"error page", Bytes(kOldConfig), kAddress, Response(404, true, Bytes("https://new"))},
        {"cut off", Bytes(kOldConfig), kAddress, Response(200, false, Bytes("https://new"))},
        {"double quote", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://new\",\"x\":\"y")},
        {"backslash", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://new\\")},
        {"line end inside", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://a\r\nhttps://b")},
        {"tab inside", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://a\tb")},
        {"delete byte", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://a\x7F")},
        {"zero byte inside", Bytes(kOldConfig), kAddress, Response(200, true, Bytes(Text("https://a") + '\0' + "/b"))},
        // Voxbridge reaches its server at an absolute http or https address with a host.
        {"rate limiter's text", Bytes(kOldConfig), kAddress, FakeMachine::Ok("Too Many Requests")},
        {"bare host name", Bytes(kOldConfig), kAddress, FakeMachine::Ok("voice.example.org")},
        {"script address", Bytes(kOldConfig), kAddress, FakeMachine::Ok("javascript:alert(1)")},
        {"ftp address", Bytes(kOldConfig), kAddress, FakeMachine::Ok("ftp://voice.example.org")},
        {"no host", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://")},
        {"space inside", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://voice.example.org/voice chat")},
        // Written into a UTF-8 file, a GBK byte would be no text: a site writes a host in its xn-- form.
        {"GBK path", Bytes(kOldConfig), kAddress, FakeMachine::Ok("https://voice.example.org/语音")},
        {"write fails", Bytes(kOldConfig), kWrite, FakeMachine::Ok("https://new"), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        machine.AddFile(kConfigPath, c.config);
        machine.web[kAddressUrl] = c.address;
        if (c.unreadable) machine.unreadable.insert(FakeMachine::Resolve(kConfigPath));
        if (c.unwritable) machine.unwritable.insert(FakeMachine::Resolve(kConfigPath));
        Install();
        ExpectOnlyMessage(c.message, 16, "错误！");
        EXPECT_EQ(machine.FileBytes(kConfigPath), c.config);
        EXPECT_EQ(RequestsOf(kAddressUrl), c.message == kFormat ? 0 : 1);
        // The list is judged before anything is written.
        EXPECT_EQ(RequestsOf(kListUrl), c.message == kWrite ? 1 : 0);
        EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
        EXPECT_TRUE(window[Control::选择框1].selected);
        EXPECT_EQ(window.writes.size(), 4u);  // 按钮1 only: the layout stays
        ExpectBusyOnlyWhileRunning();
    }
}

// Voxbridge saves while the list comes: its save is judged and rewritten, not
// lost; a save it cannot be recognised in stops the install. Closed while the
// region file is held, the program ends with Voxbridge put back and the
// player's file in place, no copy or record left.
TEST_F(VoiceChatUpdateTest, VoxbridgesSaveDuringTheDownloadSurvivesAndACloseLeavesNoHalf) {
    const Text saved = ReplaceSubtext(kOldConfig, "3", Text("9"), LeftOut, LeftOut, true);
    auto savesDuringDownload = [&](const Text& config) {
        machine.onOperation = [this, config](const std::string& line) {
            if (line == "HttpGet " + kListUrl) machine.AddFile(kConfigPath, Bytes(config));
        };
    };
    savesDuringDownload(saved);
    Install();
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), ReplaceSubtext(kNewConfig, "3", Text("9"), LeftOut, LeftOut, true));
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);

    SetUp();
    savesDuringDownload("{\"serverURL\": {}}");
    InstallCommand();
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), "{\"serverURL\": {}}");
    ExpectOnlyMessage("未能识别Voxbridge配置文件的格式，Voxbridge配置未作修改。", 16, "错误！");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);

    SetUp();
    machine.onOperation = [this](const std::string& line) {
        if (line != "WriteFileBytes " + kRegionPath) return;
        machine.onOperation = nullptr;
        ExitHandler();
        EndProgram(0);
    };
    EXPECT_THROW(InstallCommand(), ProgramEnded);
    EXPECT_EQ(ToText(machine.FileBytes(kConfigPath)), kOldConfig);
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_FALSE(machine.HasFile(kCopyPath));
    EXPECT_FALSE(machine.HasFile(kRecordPath));
    EXPECT_TRUE(machine.msgBoxes.empty());
}

}  // namespace
