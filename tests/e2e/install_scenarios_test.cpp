// Install and uninstall through the driver: the region file and the
// Voxbridge configuration in the scenario's profile, and the reports.
#include "driver/host_files.h"
#include "driver/wide_utf8.h"
#include "scenario.h"

#include <algorithm>

namespace {

const ExpectedBox kListError = {L"错误！", L"未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。",
                                BoxIcon::Error, {IDOK}};
const ExpectedBox kNotAList = {L"错误！", L"安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。", BoxIcon::Error, {IDOK}};
const ExpectedBox kUninstalled = {L"卸载结果：", L"卸载成功。", BoxIcon::Warning, {IDOK}};
const ExpectedBox kNotUninstalled = {L"卸载结果：", L"卸载失败，请检查权限或未曾安装。", BoxIcon::Error, {IDOK}};

class InstallScenario : public InstallerScenario {
protected:
    std::wstring RegionFile() const { return session_->Profile().localLow + L"\\Mossgrove\\Starfold\\regionInfo.json"; }
    std::wstring ConfigFile() const { return session_->Profile().roaming + L"\\voxbridge\\config.json"; }

    void WriteConfig(const std::string& bytes) {
        ASSERT_TRUE(CreateFolderTree(session_->Profile().roaming + L"\\voxbridge"));
        ASSERT_TRUE(WriteWholeFile(ConfigFile(), bytes));
    }

    void StartAndAnswer() {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes());
    }

    // Clicks 按钮1, answers the one box it shows, and waits until the button is idle again.
    void Install(const ExpectedBox& report) {
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(report, IDOK));
        ControlState button = WaitForControl(Control::按钮1, [](const ControlState& state) {
            return state.enabled && state.text == L"安装";
        });
        EXPECT_TRUE(button.enabled);
        EXPECT_EQ(Utf8(button.text), u8"安装");
        ExpectNoBox(200);
    }

    void Uninstall(const ExpectedBox& report) {
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮3));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(report, IDOK));
    }

    void TickVoiceChatOption() {
        ASSERT_NO_FATAL_FAILURE(Click(Control::选择框1));
        ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] {
            return CheckState(session_->ControlWindow(Control::选择框1)) == BST_CHECKED;
        }));
    }

    size_t Requested(const std::string& path) {
        std::vector<std::string> requests = SiteRequests();
        return std::count(requests.begin(), requests.end(), path);
    }
};

TEST_F(InstallScenario, TheServerListIsWrittenByteForByteIntoANewGameFolderAndReportedConverted) {
    const std::string list = DemoSiteFile("Lanternkit/serverlist.json");
    ASSERT_FALSE(PathExists(session_->Profile().localLow + L"\\Mossgrove"));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(list)));
    EXPECT_EQ(ReadWholeFile(RegionFile()), list);
    EXPECT_EQ(Requested("/Lanternkit/serverlist.json"), 1u);
    EXPECT_EQ(Requested("/Lanternkit/bcl.ini"), 0u) << "without the option Voxbridge is left alone";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, AnExistingRegionFileIsReplacedWhole) {
    ASSERT_TRUE(CreateFolderTree(session_->Profile().localLow + L"\\Mossgrove\\Starfold"));
    ASSERT_TRUE(WriteWholeFile(RegionFile(), std::string(20000, 'x')));
    const std::string list = u8"{\"Regions\": [{\"Name\": \"短\"}]}";
    ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", {list}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(list)));
    EXPECT_EQ(ReadWholeFile(RegionFile()), list);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, AnErrorPageACutOffListOrNoJsonNeverReplacesTheRegionFile) {
    const std::string old = u8"{\"Regions\": [{\"Name\": \"旧\"}]}";
    ASSERT_TRUE(CreateFolderTree(session_->Profile().localLow + L"\\Mossgrove\\Starfold"));
    ASSERT_TRUE(WriteWholeFile(RegionFile(), old));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    const std::string list = DemoSiteFile("Lanternkit/serverlist.json");
    struct BadList {
        const char* what;
        SiteVariant reply;
        ExpectedBox message;
    };
    const BadList cases[] = {
        {"404 with a list as its body", {list, 404}, kListError},
        {"cut off", {list, 200, Delivery::Cut, 100}, kListError},
        {"empty", {""}, kListError},
        {"a portal's page", {"<html><body>Please log in</body></html>", 200}, kNotAList},
    };
    for (const BadList& bad : cases) {
        SCOPED_TRACE(bad.what);
        ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", bad.reply));
        ASSERT_NO_FATAL_FAILURE(Install(bad.message));
        EXPECT_EQ(ReadWholeFile(RegionFile()), old);
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, TheVoxbridgeOptionPointsTheConfigurationAtTheTrimmedAddressAndNamesIt) {
    ASSERT_NO_FATAL_FAILURE(WriteConfig(
        "\xEF\xBB\xBF{\r\n  \"name\": \"\xE6\x88\x91\",\r\n  \"serverURL\": \"wss://old.example/voice\"  ,\r\n  \"volume\": 80\r\n}\r\n"));
    ASSERT_TRUE(site_->Serve("/Lanternkit/bcl.ini", {"wss://voice.example/bcl\r\n"}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoSiteFile("Lanternkit/serverlist.json"), L"wss://voice.example/bcl")));
    EXPECT_EQ(ReadWholeFile(ConfigFile()),
              "\xEF\xBB\xBF{\r\n  \"name\": \"\xE6\x88\x91\",\r\n  \"serverURL\": \"wss://voice.example/bcl\",\r\n  \"volume\": 80\r\n}\r\n");
    EXPECT_EQ(ReadWholeFile(RegionFile()), DemoSiteFile("Lanternkit/serverlist.json"));
    EXPECT_EQ(Requested("/Lanternkit/bcl.ini"), 1u);
    EXPECT_EQ(CheckState(session_->ControlWindow(Control::选择框1)), BST_CHECKED);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

TEST_F(InstallScenario, AConfigurationWithoutTheKeyIsLeftAloneAndNothingIsInstalled) {
    const std::string config = "{\"serverUrl\": \"wss://old.example/voice\", \"volume\": 80}";
    ASSERT_NO_FATAL_FAILURE(WriteConfig(config));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
    ASSERT_NO_FATAL_FAILURE(
        Install({L"错误！", L"未能识别Voxbridge配置文件的格式，Voxbridge配置未作修改。", BoxIcon::Error, {IDOK}}));
    EXPECT_EQ(ReadWholeFile(ConfigFile()), config);
    EXPECT_FALSE(PathExists(RegionFile()));
    EXPECT_EQ(Requested("/Lanternkit/serverlist.json"), 0u);
    EXPECT_EQ(CheckState(session_->ControlWindow(Control::选择框1)), BST_CHECKED) << "the option stays as the user set it";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(InstallScenario, UninstallDeletesOnlyTheRegionFileAndASecondOneFails) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Uninstall(kNotUninstalled));  // nothing installed yet
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoSiteFile("Lanternkit/serverlist.json"))));
    const std::wstring game = session_->Profile().localLow + L"\\Mossgrove\\Starfold";
    ASSERT_TRUE(WriteWholeFile(game + L"\\settings.tallow", "{}"));
    ASSERT_NO_FATAL_FAILURE(Uninstall(kUninstalled));
    EXPECT_FALSE(PathExists(RegionFile()));
    EXPECT_EQ(ReadWholeFile(game + L"\\settings.tallow"), "{}");
    ASSERT_NO_FATAL_FAILURE(Uninstall(kNotUninstalled));
    // An install after the uninstall writes the file again.
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoSiteFile("Lanternkit/serverlist.json"))));
    EXPECT_TRUE(PathExists(RegionFile()));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

}  // namespace
