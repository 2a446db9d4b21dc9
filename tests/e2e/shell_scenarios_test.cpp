// The shell through the driver: the window as it opens, the two layout
// switches, the site link, and both ways the program ends.
#include "e2e_paths.h"
#include "install_scenario.h"
#include "tests/win32/files.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"

#include <algorithm>
#include <cmath>

namespace {

struct Expected {
    Control control;
    Control parent;
    int left, top, width, height;
    bool seen;  // shown, with every ancestor shown
};

// The window as it opens: only 分组框1 with 编辑框1, 选择框1, 按钮1, 按钮3,
// 按钮2 and 标签1 are to be seen.
const Expected kStartLayout[] = {
    {Control::分组框1, Control::Window, 8, 8, 344, 72, true},
    {Control::编辑框1, Control::分组框1, 16, 24, 312, 32, true},
    {Control::选择框1, Control::Window, 96, 80, 192, 16, true},
    {Control::分组框3, Control::Window, 8, 96, 344, 72, false},
    {Control::编辑框2, Control::分组框3, 16, 24, 312, 32, false},
    {Control::按钮1, Control::Window, 64, 96, 112, 32, true},
    {Control::按钮3, Control::Window, 200, 96, 112, 32, true},
    {Control::按钮2, Control::Window, 356, 45, 24, 16, true},
    {Control::标签1, Control::Window, 279, 3, 103, 16, true},
    {Control::分组框2, Control::Window, 384, 0, 360, 136, false},
    {Control::超文本浏览框1, Control::分组框2, 0, 16, 360, 112, false},
};

std::string Name(Control control) {
    static const char* const kNames[] = {"window", u8"分组框1", u8"编辑框1", u8"选择框1", u8"分组框3", u8"编辑框2",
                                         u8"按钮1",  u8"按钮3",   u8"按钮2",   u8"标签1",   u8"分组框2", u8"超文本浏览框1"};
    return kNames[static_cast<int>(control)];
}

class ShellScenario : public InstallScenario {
protected:
    void ExpectControls(const std::vector<Expected>& expected) {
        for (const Expected& want : expected) {
            SCOPED_TRACE(Name(want.control));
            ControlState state = session_->Read(want.control);
            ASSERT_TRUE(state.handle) << "no control with id " << ControlId(want.control);
            EXPECT_EQ(state.parent, session_->ControlWindow(want.parent)) << "parent should be " << Name(want.parent);
            Placement units{want.left, want.top, want.width, want.height};
            EXPECT_TRUE(IsScaled(state.placement, units)) << state.placement << " is not " << units << " at " << scale_;
            EXPECT_EQ(state.visible, want.seen);
        }
    }

    // The controls in view at their start places; heights that the voice-chat
    // layout has changed are left to ExpectVerticalLayout.
    void ExpectInView(std::initializer_list<Control> controls, bool voiceChatLayout = false) {
        std::vector<Expected> rows;
        for (Expected row : kStartLayout) {
            if (std::find(controls.begin(), controls.end(), row.control) == controls.end()) continue;
            row.seen = true;
            if (voiceChatLayout) row.height = static_cast<int>(std::lround(session_->Read(row.control).placement.height / scale_));
            rows.push_back(row);
        }
        ExpectControls(rows);
    }

    void ClickPanelButton(const std::wstring& captionAfter) {
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮2));
        ControlState button = WaitForControl(Control::按钮2, [&](const ControlState& state) { return state.text == captionAfter; });
        ASSERT_EQ(Utf8(button.text), Utf8(captionAfter));
    }

    std::wstring origin_ = SiteOrigin();
};

bool Centred(const RECT& area, const Placement& window) {
    int left = area.left + (area.right - area.left - window.width) / 2;
    int top = area.top + (area.bottom - area.top - window.height) / 2;
    return std::abs(window.left - left) <= 1 && std::abs(window.top - top) <= 1;
}

TEST_F(ShellScenario, TheWindowOpensCentredWithOnlyTheInstallControlsAtTheirPlaces) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ControlState window = session_->Read(Control::Window);
    EXPECT_EQ(Utf8(window.text), Utf8(STARFOLD_WINDOW_TITLE));
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(std::make_pair(window.placement.width, window.placement.height), std::make_pair(388, 160));
    EXPECT_TRUE(Centred(ScreenRect(), window.placement) || Centred(WorkArea(), window.placement))
        << "window at " << window.placement.left << "," << window.placement.top << " on a screen of "
        << GetSystemMetrics(SM_CXSCREEN) << "x" << GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(window.style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(window.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "fixed frame, no minimise or maximise";

    ExpectControls({std::begin(kStartLayout), std::end(kStartLayout)});
    EXPECT_TRUE(session_->Read(Control::编辑框2).visibleStyle) << u8"编辑框2 is hidden by its group box only";
    EXPECT_TRUE(session_->Read(Control::超文本浏览框1).visibleStyle) << "the viewer is hidden by its group box only";

    const std::pair<Control, std::wstring> texts[] = {
        {Control::分组框1, L"安装源:"}, {Control::分组框3, L"安装源:"}, {Control::分组框2, L"安装源列表"},
        {Control::编辑框1, origin_ + L"/Lanternkit/serverlist.json"},
        {Control::编辑框2, origin_ + L"/Lanternkit/bcl.ini"}, {Control::选择框1, L"同时安装Voxbridge社区服"},
        {Control::按钮1, L"安装"}, {Control::按钮3, L"卸载"}, {Control::按钮2, L">>"}};
    for (const auto& [control, text] : texts)
        EXPECT_EQ(Utf8(session_->Read(control).text), Utf8(text)) << Name(control);
    EXPECT_EQ(Utf8(session_->Read(Control::标签1).text).rfind("By:", 0), 0u) << Utf8(session_->Read(Control::标签1).text);
    EXPECT_EQ(OptionState(), BST_UNCHECKED);
    for (Control button : {Control::按钮1, Control::按钮2, Control::按钮3, Control::选择框1})
        EXPECT_TRUE(session_->Read(button).enabled) << Name(button);
    session_->Screenshot(L"start");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellScenario, TickingAndClearingTheCheckBoxSwitchesTheVoiceChatSection) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 388));
    // The section sits between the check box and the buttons that moved down.
    ExpectInView({Control::分组框3, Control::编辑框2, Control::选择框1});
    session_->Screenshot(L"voice-chat");

    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(false, 388));
    ExpectControls({std::begin(kStartLayout), std::end(kStartLayout)});
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellScenario, ThePanelButtonWidensThenNarrowsTheWindow) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(ClickPanelButton(L"<<"));
    ASSERT_NO_FATAL_FAILURE(ExpectWindowSize(751, 160));
    ExpectInView({Control::分组框2, Control::超文本浏览框1});
    session_->Screenshot(L"side-panel");

    ASSERT_NO_FATAL_FAILURE(ClickPanelButton(L">>"));
    ASSERT_NO_FATAL_FAILURE(ExpectWindowSize(388, 160));
    EXPECT_TRUE(session_->Read(Control::分组框2).visibleStyle) << "the side panel stays shown, outside the window";
    // The panel switch leaves every height and top as it was.
    std::vector<Expected> unchanged(std::begin(kStartLayout), std::end(kStartLayout));
    for (Expected& expected : unchanged)
        if (expected.control == Control::分组框2 || expected.control == Control::超文本浏览框1) expected.seen = true;
    ExpectControls(unchanged);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellScenario, TickingWithThePanelOpenKeepsTheWidthAndGrowsThePanel) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(ClickPanelButton(L"<<"));
    ASSERT_NO_FATAL_FAILURE(ExpectWindowSize(751, 160));
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 751));
    ExpectInView({Control::分组框2, Control::超文本浏览框1}, true);
    session_->Screenshot(L"both-switches");

    ASSERT_NO_FATAL_FAILURE(ClickPanelButton(L">>"));
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 388));
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(false, 388));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

// The display scale the prefix's user has chosen, for one scenario; Wine
// reads it when a program starts.
class DisplayScale {
public:
    explicit DisplayScale(DWORD dpi) { Set(dpi); }
    ~DisplayScale() { Set(96); }

private:
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

TEST_F(ShellScenario, AtOneAndAHalfTimesTheScaleEveryLayoutIsScaledWhole) {
    DisplayScale scale(144);
    scale_ = 1.5;
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(ExpectWindowSize(388, 160));
    ExpectControls({std::begin(kStartLayout), std::end(kStartLayout)});
    session_->Screenshot(L"start-150");
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 388));
    ExpectInView({Control::分组框3, Control::编辑框2, Control::选择框1});
    session_->Screenshot(L"voice-chat-150");
    ASSERT_NO_FATAL_FAILURE(ClickPanelButton(L"<<"));
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 751));
    ExpectInView({Control::分组框2, Control::超文本浏览框1}, true);
    session_->Screenshot(L"both-150");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellScenario, TheSiteLinkOpensTheSiteOncePerPressAndNotOnRelease) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    HWND label = session_->ControlWindow(Control::标签1);
    ASSERT_TRUE(label);
    const std::string site = Utf8(origin_);
    auto opened = [&](size_t count) {
        return WaitUntil(kStepTimeoutMs, [&] { return session_->OpenedAddresses().size() >= count; });
    };
    ASSERT_TRUE(PostLeftButtonDown(label, 10, 8));
    ASSERT_TRUE(opened(1)) << "pressing the left button over the label opened nothing";
    ASSERT_TRUE(PostLeftButtonUp(label, 10, 8));
    Sleep(700);
    EXPECT_EQ(session_->OpenedAddresses(), std::vector<std::string>{site}) << "releasing the button must add nothing";

    // Anywhere over the label, whatever the keys held.
    ASSERT_TRUE(PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(100, 15)));
    ASSERT_TRUE(opened(2));
    ASSERT_TRUE(PostLeftButtonUp(label, 100, 15));
    Sleep(700);
    EXPECT_EQ(session_->OpenedAddresses(), (std::vector<std::string>{site, site}));
    ExpectNoBox(100);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

// Keys are posted to the control that has the focus in the installer's
// thread, as the keyboard delivers them; no real input. The window must stay
// the active one, which a window of another test would take: it runs alone.
TEST_F(ShellScenario, TheKeyboardStartsAtInstallAndTabGoesRoundTheWindowAndTheSiteLink) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    auto focusOn = [&](Control control) {
        return WaitUntil(kStepTimeoutMs, [&] { return KeyboardFocus(session_->MainWindow()) == session_->ControlWindow(control); });
    };
    ASSERT_TRUE(focusOn(Control::按钮1)) << "安装 has not the focus once the start-up sequence has ended";
    NoteInstallStarting();
    ASSERT_TRUE(PostKey(session_->ControlWindow(Control::按钮1), VK_RETURN));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(InstallReport(DemoList()), IDOK));
    ASSERT_TRUE(focusOn(Control::按钮1)) << "the focus did not come back to 安装 after the install";

    // Once round the window in its order (the voice-chat section is hidden); Enter and Space on the link.
    Control at = Control::按钮1;
    for (Control next : {Control::按钮3, Control::按钮2, Control::标签1, Control::编辑框1, Control::选择框1, Control::按钮1}) {
        ASSERT_TRUE(PostKey(session_->ControlWindow(at), VK_TAB));
        ASSERT_TRUE(focusOn(at = next)) << Name(next);
        if (next != Control::标签1) continue;
        session_->Screenshot(L"keyboard-on-link");
        for (UINT key : {VK_RETURN, VK_SPACE}) {
            size_t opened = session_->OpenedAddresses().size() + 1;
            ASSERT_TRUE(PostKey(session_->ControlWindow(next), key));
            ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return session_->OpenedAddresses().size() >= opened; })) << key;
        }
        // Enter held down repeats with bit 30 set: no second press.
        ASSERT_TRUE(PostMessageW(session_->ControlWindow(next), WM_KEYDOWN, VK_RETURN, 1 | (1 << 30)));
    }
    Sleep(700);
    EXPECT_EQ(session_->OpenedAddresses(), std::vector<std::string>(2, Utf8(origin_))) << "each key opens the site once";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// A second start, as the running installer asks its first question and
// while it waits for the player, ends with 0 at once: a box would keep it.
TEST_F(ShellScenario, ASecondStartEndsAtOnceAndLeavesTheRunningInstallerAsItWas) {
    auto startSecond = [&] {
        DebuggedProcess second;
        LaunchRequest request{WindowsPathFromUnix(STARFOLD_E2E_INSTALLER), L"", L"", ProfileEnvironment(session_->Profile())};
        ASSERT_TRUE(second.Start(request, nullptr));
        ASSERT_TRUE(second.WaitForExit(kStepTimeoutMs)) << "the second installer still runs";
        EXPECT_EQ(second.ExitCode(), std::optional<DWORD>(0));
    };
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(startSecond());
    ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes());
    ASSERT_NO_FATAL_FAILURE(startSecond());
    EXPECT_TRUE(IsWindowVisible(session_->MainWindow()));
    ExpectNoBox(300);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellScenario, ClosingThroughTheTitleBarRunsTheExitHandlerOnce) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_TRUE(PostTitleBarClose(session_->MainWindow()));
    ASSERT_NO_FATAL_FAILURE(ExpectExit(0, 1));
    EXPECT_TRUE(session_->OpenedAddresses().empty());
}

TEST_F(ShellScenario, ClosingWhenNothingWasFetchedReleasesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartServing("/Lanternkit/versioninfo.json", {""}));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(0));
}

TEST_F(ShellScenario, AcceptingANewVersionEndsTheProgramFromTheStartUpSequence) {
    ASSERT_NO_FATAL_FAILURE(StartServing("/Lanternkit/versioninfo.json", {"1.2025.1.1"}));
    ASSERT_NO_FATAL_FAILURE(AcceptNewVersion(L"1.2025.1.1"));
}

class ShellWithInstall : public ShellScenario {};

TEST_F(ShellWithInstall, AnAddressTypedIntoTheEditBoxIsUsedByTheNextInstall) {
    const std::string list = u8"{\"Regions\": [{\"Name\": \"测试区\"}]}";
    ASSERT_TRUE(site_->Serve("/custom/list.json?from=typed", {list}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, origin_ + L"/custom/list.json?from=typed"));
    ASSERT_NO_FATAL_FAILURE(ClickAndAnswer(Control::按钮1, InstallReport(list)));
    EXPECT_EQ(ReadWholeFile(RegionFile()), list);
    std::vector<std::string> requests = SiteRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), "/custom/list.json?from=typed");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

TEST_F(ShellWithInstall, AVoiceServerAddressTypedIntoTheSecondEditBoxIsTheOneFetched) {
    ASSERT_NO_FATAL_FAILURE(WriteConfig("{\"serverURL\": \"wss://old.example/voice\", \"volume\": 80}"));
    ASSERT_TRUE(site_->Serve("/custom/voice.ini", {"https://typed.example/voice"}));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框2, origin_ + L"/custom/voice.ini"));
    ASSERT_NO_FATAL_FAILURE(ClickAndAnswer(Control::按钮1, InstallReport(DemoList(), L"https://typed.example/voice")));
    EXPECT_EQ(ReadWholeFile(ConfigFile()), "{\"serverURL\": \"https://typed.example/voice\", \"volume\": 80}");
    std::vector<std::string> requests = SiteRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "/custom/voice.ini"), 1);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "/Lanternkit/bcl.ini"), 0);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

TEST_F(ShellWithInstall, AfterInstallClearedTheCheckBoxTheNextTickShowsTheSectionAgain) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 388));
    // No Voxbridge configuration in the profile: the install stops at once.
    ASSERT_NO_FATAL_FAILURE(ClickAndAnswer(Control::按钮1, kVoxbridgeMissing));
    EXPECT_EQ(OptionState(), BST_UNCHECKED);
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(false, 388));
    ControlState install = WaitForControl(Control::按钮1, [](const ControlState& state) { return state.enabled; });
    EXPECT_EQ(Utf8(install.text), u8"安装");

    ASSERT_NO_FATAL_FAILURE(Tick());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true, 388));
    EXPECT_FALSE(PathExists(session_->Profile().localLow + L"\\Mossgrove")) << "nothing was installed";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(ShellWithInstall, TwoInstallsReleaseOnlyTheLastValuesAtExit) {
    ASSERT_NO_FATAL_FAILURE(WriteConfig("{\"serverURL\": \"wss://old.example/voice\", \"volume\": 80}"));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(Tick());
    const ExpectedBox report = InstallReport(DemoList(), WideFromUtf8(DemoSiteFile("Lanternkit/bcl.ini")));
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NO_FATAL_FAILURE(ClickAndAnswer(Control::按钮1, report));
        ASSERT_TRUE(WaitForControl(Control::按钮1, [](const ControlState& state) { return state.enabled; }).enabled);
    }
    EXPECT_EQ(ReadWholeFile(ConfigFile()), "{\"serverURL\": \"https://voice.starfold-cn.example/bcl\", \"volume\": 80}");
    std::vector<std::string> requests = SiteRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "/Lanternkit/bcl.ini"), 2) << "one address download per install";
    // The version reply, the configuration as read and as written, the server list.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(4));
}

}  // namespace
