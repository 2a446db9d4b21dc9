#include "scenario.h"

#include <algorithm>

#include "e2e_paths.h"
#include "support/site.h"
#include "tests/win32/files.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"

std::string Utf8(const std::wstring& wide) { return Utf8FromWide(wide); }

std::string DemoSiteFile(const std::string& relative) {
    return ReadWholeFile(WindowsPathFromUnix(std::string(STARFOLD_E2E_SITE_DIR) + "/" + relative)).value_or("");
}

// Cancel is the default: Enter never replaces the player's settings.
ExpectedBox RollbackQuestion() {
    return {L"数据版本回退", L"是否需要帮您载入旧版数据配置，\r\n方便您游玩2024.6.18版本以下的模组？", BoxIcon::Warning,
            {IDOK, IDCANCEL}, IDCANCEL};
}

ExpectedBox Announcement(const std::wstring& text) { return {L"公告", text, BoxIcon::Information, {IDOK, IDCANCEL}}; }

ExpectedBox DemoAnnouncement() { return Announcement(WideFromGbk(DemoSiteFile("Lanternkit/announcer.txt"))); }

ExpectedBox NetworkError() {
    return {L"网络错误！", L"未能从服务器获得版本信息，请检查网络是否畅通。", BoxIcon::Error, {IDOK}};
}

ExpectedBox NewVersionQuestion(const std::wstring& reply) {
    return {L"发现新版本：", L"发现新版本！\r\n当前版本：1.2024.9.23\r\n最新版本：" + reply + L"\r\n是否前往下载新版本安装器？",
            BoxIcon::Question, {IDYES, IDNO}};
}

// The report shows the list without a leading byte-order mark: its first 20
// lines, at most 1,000 characters of them, and how many lines are not shown in full.
std::wstring ShownList(std::wstring list) {
    if (!list.empty() && list.front() == L'\xFEFF') list.erase(0, 1);
    size_t end = 0;
    for (int line = 0; line < 20 && end < list.size(); ++line) end = std::min(list.find(L'\n', end), list.size() - 1) + 1;
    end = std::min<size_t>(end, 1000);
    if (end >= list.size()) return list;
    size_t more = std::count(list.begin() + end, list.end(), L'\n') + (list.back() == L'\n' ? 0 : 1);
    return list.substr(0, end) + L"……（另有" + std::to_wstring(more) + L"行未显示）";
}

ExpectedBox InstallReport(const std::string& listUtf8, const std::optional<std::wstring>& voiceAddress) {
    std::wstring text = L"安装成功!\r\n\r\n";
    if (voiceAddress) text += L"Voxbridge服务器地址已更改为：" + *voiceAddress + L"\r\n\r\n";
    text += L"安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n" + ShownList(WideFromUtf8(listUtf8));
    return {L"安装结果：", text, BoxIcon::Warning, {IDOK}};
}

void InstallerScenario::SetUp() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = WideFromUtf8(std::string(test->test_suite_name()) + "." + test->name());
    site_ = std::make_unique<SiteControl>(SITE_BASE);
    ASSERT_NO_FATAL_FAILURE(BeginSession(std::wstring(STARFOLD_E2E_WORK) + L"\\" + name_));
}

void InstallerScenario::BeginSession(const std::wstring& folder) {
    session_ = std::make_unique<InstallerSession>(folder);
    ASSERT_TRUE(session_->PrepareProfile()) << "cannot prepare the profile under " << Utf8(folder);
    ASSERT_TRUE(site_->Reset()) << "the demo site does not answer at " << SITE_BASE;
}

void InstallerScenario::TearDown() {
    if (session_ && session_->MainWindow() && HasFailure()) session_->Screenshot(L"at-failure");
    if (session_ && !session_->Process().HasExited()) {
        // Whatever the scenario left open: a box or the window.
        session_->Process().Terminate();
    }
    session_.reset();
}

void InstallerScenario::Start(const std::wstring& program) {
    std::wstring problem;
    ASSERT_TRUE(session_->Launch(program.empty() ? WindowsPathFromUnix(STARFOLD_E2E_INSTALLER) : program, &problem))
        << Utf8(problem);
    ASSERT_TRUE(session_->WaitForMainWindow(kStepTimeoutMs))
        << "no window of class StarfoldCommunityInstaller titled \"" << Utf8(STARFOLD_WINDOW_TITLE)
        << "\" appeared; process exited: " << session_->Process().HasExited();
}

void InstallerScenario::ExpectBox(const ExpectedBox& expected, MessageBoxState* seen, DWORD installerWaitMs) {
    // The driver knows the icons at its own scale only.
    const IconCheck icons = scale_ == 1.0 ? icons_ : IconCheck::Skip;
    std::optional<MessageBoxState> box = session_->NextBox(installerWaitMs + kStepTimeoutMs, icons);
    ASSERT_TRUE(box) << "no message box appeared; expected \"" << Utf8(expected.caption) << "\"";
    const ExpectedBox shown = AsShownUnderWine(expected);
    SCOPED_TRACE("the box \"" + Utf8(box->caption) + "\"");
    EXPECT_EQ(Utf8(box->caption), Utf8(expected.caption));
    EXPECT_EQ(Utf8(box->text), Utf8(shown.text));
    if (icons == IconCheck::Look) EXPECT_EQ(Utf8(BoxIconName(box->icon)), Utf8(BoxIconName(expected.icon))) << "icon";
    EXPECT_EQ(Utf8(ButtonList(box->buttons)), Utf8(ButtonList(expected.buttons))) << "buttons";
    // The default button is drawn as one. Wine's boxes answer DM_GETDEFID with
    // their first button whatever the default, so the style is read instead.
    if (expected.defaultButton) {
        int defaultButton = 0;
        for (int button : box->buttons)
            if ((GetWindowLongW(GetDlgItem(box->handle, button), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                defaultButton = button;
        EXPECT_EQ(Utf8(ButtonName(defaultButton)), Utf8(ButtonName(expected.defaultButton))) << "default button";
    }
    // Task-modal: while the box is up the main window takes no input.
    EXPECT_FALSE(IsWindowEnabled(session_->MainWindow())) << "the main window stays enabled under the box";
    if (seen) *seen = *box;
}

void InstallerScenario::Answer(const MessageBoxState& box, int buttonId) {
    ASSERT_TRUE(AnswerMessageBox(box, buttonId)) << "cannot answer \"" << Utf8(box.caption) << "\" with " << Utf8(ButtonName(buttonId));
}

void InstallerScenario::ExpectAndAnswer(const ExpectedBox& expected, int buttonId) {
    MessageBoxState box;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(expected, &box));
    ASSERT_NO_FATAL_FAILURE(Answer(box, buttonId));
}

void InstallerScenario::ClickAndAnswer(Control button, const ExpectedBox& expected) {
    ASSERT_NO_FATAL_FAILURE(Click(button));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(expected, IDOK));
}

void InstallerScenario::AnswerStartupBoxes(int announcementAnswer, int rollbackAnswer) {
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), rollbackAnswer));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), announcementAnswer));
    // The start-up sequence has returned once the window takes input again.
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return IsWindowEnabled(session_->MainWindow()) != FALSE; }));
}

void InstallerScenario::AcceptNewVersion(const std::wstring& shown) {
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NewVersionQuestion(shown), IDYES));
    ASSERT_NO_FATAL_FAILURE(ExpectExit(0, 1));
    // The address handler may still be starting as the installer ends.
    WaitUntil(kStepTimeoutMs, [&] { return !session_->OpenedAddresses().empty(); });
    Sleep(300);
    EXPECT_EQ(session_->OpenedAddresses(), std::vector<std::string>{Utf8(SiteOrigin()) + "/?page_id=38"});
    EXPECT_EQ(SiteRequests(), std::vector<std::string>{"/Lanternkit/versioninfo.json"});
}

void InstallerScenario::StartServing(const std::string& path, const SiteVariant& reply) {
    ASSERT_TRUE(site_->Serve(path, reply));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
}

void InstallerScenario::ExpectNoBox(DWORD waitMs) {
    std::optional<MessageBoxState> box = session_->NextBox(waitMs, icons_);
    EXPECT_FALSE(box) << "unexpected box \"" << Utf8(box->caption) << "\": " << Utf8(box->text);
    if (box) AnswerMessageBox(*box, box->buttons.empty() ? IDOK : box->buttons.front());
}

void InstallerScenario::NoteInstallStarting() {
    const std::wstring localLow = session_->Profile().localLow;
    gameFoundNowhere_ = !PathExists(localLow + L"\\Mossgrove\\Starfold");
    // Where Windows names no LocalLow, the one beside the roaming folder stands in.
    ownPlace_ = PathExists(localLow) ? localLow + L"\\" : session_->Profile().roaming + L"\\..\\LocalLow\\";
}

ExpectedBox InstallerScenario::AsShownUnderWine(ExpectedBox expected) const {
    const bool success = expected.text.rfind(L"安装成功!", 0) == 0, failure = expected.text.rfind(L"安装失败", 0) == 0;
    // A scenario that names the places itself has its own report.
    if (!gameFoundNowhere_ || expected.caption != L"安装结果：" || !(success || failure) ||
        expected.text.find(L"写入：") != std::wstring::npos)
        return expected;
    const std::wstring heading = success ? L"未找到游戏运行过的位置（请先运行一次游戏）。已写入：" : L"未能写入：";
    expected.text.insert(std::min(expected.text.find(L"\r\n"), expected.text.size()),
                         L"\r\n\r\n" + heading + L"\r\n" + ownPlace_);
    return expected;
}

void InstallerScenario::Click(Control control) {
    if (control == Control::按钮1) NoteInstallStarting();
    HWND window = session_->ControlWindow(control);
    ASSERT_TRUE(window) << "no control with id " << ControlId(control);
    ASSERT_TRUE(PostClick(window));
}

void InstallerScenario::Tick() {
    const int after = OptionState() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    ASSERT_NO_FATAL_FAILURE(Click(Control::选择框1));
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return OptionState() == after; }));
}

void InstallerScenario::Type(Control edit, const std::wstring& text) {
    ASSERT_TRUE(PostTyping(session_->ControlWindow(edit), text));
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return WindowText(session_->ControlWindow(edit)) == text; }));
}

void InstallerScenario::ExpectExit(DWORD exitCode, int releasedBlocks) {
    ASSERT_TRUE(session_->Process().WaitForExit(kStepTimeoutMs)) << "the installer did not end";
    EXPECT_EQ(session_->Process().ExitCode(), std::optional<DWORD>(exitCode));
    std::vector<std::wstring> lines = session_->ExitHandlerLines();
    ASSERT_EQ(lines.size(), 1u) << "the exit handler must run exactly once";
    EXPECT_EQ(ReleasedBlocks(lines[0]), releasedBlocks) << Utf8(lines[0]);
    std::vector<UnhandledException> crashes = session_->Process().LastChanceExceptions();
    EXPECT_TRUE(crashes.empty()) << "the installer crashed with exception 0x" << std::hex << crashes.front().code;
}

void InstallerScenario::CloseAndExpectExit(int releasedBlocks) {
    ASSERT_TRUE(PostClose(session_->MainWindow()));
    ExpectExit(0, releasedBlocks);
}

std::vector<std::string> InstallerScenario::SiteRequests() {
    std::optional<std::vector<std::string>> requests = site_->Requests();
    EXPECT_TRUE(requests) << "the demo site does not answer";
    return requests.value_or(std::vector<std::string>{});
}

bool InstallerScenario::Requested(const std::string& path) {
    std::vector<std::string> requests = SiteRequests();
    return std::find(requests.begin(), requests.end(), path) != requests.end();
}

bool InstallerScenario::IsScaled(const Placement& seen, const Placement& units) const {
    // Exact at 100%; rounding may differ by a pixel or two at other scales.
    const double slack = scale_ == 1.0 ? 0 : 2;
    auto matches = [&](int pixels, int unitsValue) { return std::abs(pixels - unitsValue * scale_) <= slack + 0.5; };
    return matches(seen.left, units.left) && matches(seen.top, units.top) && matches(seen.width, units.width) &&
           matches(seen.height, units.height);
}

void InstallerScenario::ExpectWindowSize(int width, int height) {
    auto sized = [&](const ControlState& state) {
        return IsScaled({0, 0, state.placement.width, state.placement.height}, {0, 0, width, height});
    };
    ControlState window = WaitForControl(Control::Window, sized);
    EXPECT_TRUE(sized(window)) << "the window is " << window.placement << ", not " << width << "x" << height
                               << " at a scale of " << scale_;
}

void InstallerScenario::ExpectVerticalLayout(bool voiceChat, int windowWidth) {
    ASSERT_NO_FATAL_FAILURE(ExpectWindowSize(windowWidth, voiceChat ? 241 : 160));
    auto expectTop = [&](Control control, int top) {
        EXPECT_TRUE(IsScaled({0, session_->Read(control).placement.top, 0, 0}, {0, top, 0, 0})) << ControlId(control);
    };
    auto expectHeight = [&](Control control, int height) {
        EXPECT_TRUE(IsScaled({0, 0, 0, session_->Read(control).placement.height}, {0, 0, 0, height})) << ControlId(control);
    };
    expectTop(Control::按钮1, voiceChat ? 176 : 96);
    expectTop(Control::按钮2, voiceChat ? 80 : 45);
    expectTop(Control::按钮3, voiceChat ? 176 : 96);
    expectHeight(Control::分组框2, voiceChat ? 208 : 136);
    expectHeight(Control::超文本浏览框1, voiceChat ? 192 : 112);
    EXPECT_EQ(session_->Read(Control::分组框3).visibleStyle, voiceChat);
    EXPECT_EQ(session_->Read(Control::编辑框2).visible, voiceChat);
}
