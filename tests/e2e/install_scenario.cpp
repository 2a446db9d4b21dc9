#include "install_scenario.h"

#include "tests/win32/files.h"
#include "tests/win32/wide_utf8.h"

#include <algorithm>

std::string DemoList() { return DemoSiteFile("Lanternkit/serverlist.json"); }

void InstallScenario::WriteConfig(const std::string& bytes) {
    ASSERT_TRUE(CreateFolderTree(VoxbridgeFolder()));
    ASSERT_TRUE(WriteWholeFile(ConfigFile(), bytes));
}

void InstallScenario::WriteRegionFile(const std::string& bytes) {
    ASSERT_TRUE(CreateFolderTree(GameFolder()));
    ASSERT_TRUE(WriteWholeFile(RegionFile(), bytes));
}

void InstallScenario::StartAndAnswer() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes());
    // The viewer asks for the source page shortly after the start-up sequence:
    // from then on every request is the commands'.
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return Requested("/Lanternkit/SourceInfo.html"); }))
        << "the source page was never requested";
}

bool InstallScenario::InstallButtonIsBusy() {
    HWND button = session_->ControlWindow(Control::按钮1);
    return !IsWindowEnabled(button) && StoredWindowText(button) == L"安装中...";
}

void InstallScenario::ExpectInstallButtonIdle() {
    HWND button = session_->ControlWindow(Control::按钮1);
    WaitUntil(kStepTimeoutMs, [&] { return IsWindowEnabled(button) && StoredWindowText(button) == L"安装"; });
    EXPECT_TRUE(IsWindowEnabled(button)) << u8"按钮1 stays disabled after the command";
    EXPECT_EQ(Utf8(StoredWindowText(button)), u8"安装");
}

void InstallScenario::Install(const ExpectedBox& box, DWORD installerWaitMs) {
    ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
    MessageBoxState shown;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(box, &shown, installerWaitMs));
    EXPECT_TRUE(InstallButtonIsBusy()) << u8"按钮1 should read disabled and \"安装中...\" while its box is up; it reads "
                                       << Utf8(StoredWindowText(session_->ControlWindow(Control::按钮1)));
    ASSERT_NO_FATAL_FAILURE(Answer(shown, IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectInstallButtonIdle());
    // Idle means the command has returned: a second box would have kept it busy.
    ExpectNoBox(0);
}

void InstallScenario::TickVoiceChatOption() {
    ASSERT_EQ(OptionState(), BST_UNCHECKED);
    ASSERT_NO_FATAL_FAILURE(Tick());
}

void InstallScenario::ExpectFile(const std::wstring& path, const std::string& bytes) {
    std::optional<std::string> held = ReadWholeFile(path);
    ASSERT_TRUE(held) << Utf8(path) << " is missing or unreadable";
    // Sizes first: a cut-off or appended file then reads plainly in the report.
    EXPECT_EQ(held->size(), bytes.size()) << Utf8(path);
    EXPECT_TRUE(*held == bytes) << Utf8(path) << " holds:\n" << *held << "\ninstead of:\n" << bytes;
}

void InstallScenario::ExpectFolderHolds(const std::wstring& folder, std::vector<std::wstring> names) {
    std::vector<std::wstring> entries = FolderEntries(folder);  // sorted
    std::sort(names.begin(), names.end());
    std::string seen;
    for (const std::wstring& entry : entries) seen += " " + Utf8(entry);
    EXPECT_TRUE(entries == names) << Utf8(folder) << " holds:" << seen;
}

void InstallScenario::InstallFetching(const ExpectedBox& box, const std::vector<std::string>& fetched,
                                      DWORD installerWaitMs) {
    const size_t seenBefore = SiteRequests().size();
    ASSERT_NO_FATAL_FAILURE(Install(box, installerWaitMs));
    std::vector<std::string> requests = SiteRequests();
    requests.erase(requests.begin(), requests.begin() + std::min(seenBefore, requests.size()));
    EXPECT_EQ(requests, fetched) << "the paths fetched by the install";
}
