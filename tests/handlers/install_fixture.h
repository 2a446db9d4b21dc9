// A machine on which the game has run once and Voxbridge is set up, with the
// community site serving a good server list and voice-server address.
#pragma once

#include "install/install_command.h"
#include "tests/handlers/handler_fixture.h"

class InstallTest : public HandlerTest {
protected:
    const Text kListUrl = SITE_BASE "/Lanternkit/serverlist.json";
    const Text kAddressUrl = SITE_BASE "/Lanternkit/bcl.ini";
    const Text kRegionPath = kGameFolder + "\\regionInfo.json";
    const Text kCopyPath = kRegionPath + ".bak";
    const Text kRecordPath = kRegionPath + ".record";
    const Text kConfigPath = Text(FakeMachine::kAppData) + "voxbridge\\config.json";

    // UTF-8, as the site serves it; the report shows it converted to GB2312.
    const ByteArray kList = Bytes(u8"{\"Regions\":[{\"Name\":\"社区服\",\"PingServer\":\"10.0.0.1\"}]}");
    const ByteArray kOldRegion = Bytes("{\"CurrentRegionIdx\":0,\"Regions\":[{\"Name\":\"own\"}]}");
    const Text kOldConfig = "{\r\n  \"volume\": 3,\r\n  \"serverURL\": \"wss://old.example\",\r\n  \"push\": true\r\n}";
    const Text kNewConfig = "{\r\n  \"volume\": 3,\r\n  \"serverURL\": \"https://voice.example:7000\",\r\n  \"push\": true\r\n}";

    void SetUp() override {
        HandlerTest::SetUp();
        machine.AddFile(kRegionPath, kOldRegion);
        machine.AddFile(kConfigPath, Bytes(kOldConfig));
        machine.web[kListUrl] = FakeMachine::Ok(kList);
        machine.web[kAddressUrl] = FakeMachine::Ok("https://voice.example:7000\r\n");
    }

    // Runs the install and holds it to its promise: the region file and the
    // Voxbridge configuration end up with their old bytes or the complete
    // new ones, and success is reported only for what was done.
    void Install() {
        bool hadRegion = machine.HasFile(kRegionPath);
        ByteArray regionBefore = machine.FileBytes(kRegionPath);
        ByteArray configBefore = machine.FileBytes(kConfigPath);
        bool ticked = window[Control::选择框1].selected;
        size_t boxesBefore = machine.msgBoxes.size();
        InstallCommand();

        ByteArray region = machine.FileBytes(kRegionPath);
        ByteArray config = machine.FileBytes(kConfigPath);
        bool regionNew = machine.HasFile(kRegionPath) && region == State().ServerListBytes;
        bool configNew = !State().NewConfigBytes.empty() && config == State().NewConfigBytes;
        EXPECT_TRUE(regionNew || (machine.HasFile(kRegionPath) == hadRegion && region == regionBefore));
        EXPECT_TRUE(configNew || config == configBefore);

        const MsgBoxCall* report = nullptr;
        for (size_t i = boxesBefore; i < machine.msgBoxes.size(); i++)
            if (machine.msgBoxes[i].flags == 48 && machine.msgBoxes[i].caption == Text("安装结果："))
                report = &machine.msgBoxes[i];
        if (region != regionBefore || hadRegion != machine.HasFile(kRegionPath)) EXPECT_NE(report, nullptr);
        if (!report) return;
        EXPECT_TRUE(regionNew);
        if (!ticked) return;
        EXPECT_TRUE(configNew);
        const Text kNamed = "Voxbridge服务器地址已更改为：";
        size_t from = report->message.find(kNamed);
        ASSERT_NE(from, Text::npos);
        from += kNamed.size();
        Text named = report->message.substr(from, report->message.find("\r\n", from) - from);
        EXPECT_NE(ToText(config).find("\"serverURL\": \"" + named + "\","), Text::npos) << named;
    }

    void TickVoiceChat() { window[Control::选择框1].selected = true; }

    // The report of a successful install, for the list above.
    Text SuccessReport(const std::optional<Text>& address) {
        Text report = "安装成功!\r\n\r\n";
        if (address) report += "Voxbridge服务器地址已更改为：" + *address + "\r\n\r\n";
        return report + "安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n" +
               "{\"Regions\":[{\"Name\":\"社区服\",\"PingServer\":\"10.0.0.1\"}]}";
    }

    // 按钮1 goes busy before anything else happens and back to idle once, last.
    void ExpectBusyOnlyWhileRunning() {
        std::vector<PropertyAccess> button;
        std::copy_if(window.writes.begin(), window.writes.end(), std::back_inserter(button),
                     [](const PropertyAccess& write) { return write.control == Control::按钮1; });
        EXPECT_EQ(button, (std::vector<PropertyAccess>{{Control::按钮1, Property::禁止, "true"},
                                                       {Control::按钮1, Property::caption, "安装中..."},
                                                       {Control::按钮1, Property::禁止, "false"},
                                                       {Control::按钮1, Property::caption, "安装"}}));
        ASSERT_GE(machine.log.size(), 4u);
        EXPECT_EQ(machine.log[0], "Set 按钮1 禁止 true");
        EXPECT_EQ(machine.log[1], "Set 按钮1 caption 安装中...");
        EXPECT_EQ(machine.log[machine.log.size() - 2], "Set 按钮1 禁止 false");
        EXPECT_EQ(machine.log.back(), "Set 按钮1 caption 安装");
        EXPECT_FALSE(window[Control::按钮1].disabled);
    }

    int RequestsOf(const Text& address) const {
        return static_cast<int>(std::count(machine.requests.begin(), machine.requests.end(), address));
    }
};
