// The driver against a window of its own: every operation the scenarios
// rely on, seen to work on a program whose behaviour is known.
#include "driver/user_profile.h"
#include "e2e_paths.h"
#include "fixture_ids.h"
#include "tests/win32/debugged_process.h"
#include "tests/win32/files.h"
#include "tests/win32/message_boxes.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/waiting.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"
#include "tests/win32/window_reading.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr DWORD kTimeoutMs = kCeilingMs;

bool HasLine(const DebuggedProcess& process, const std::wstring& line) {
    std::vector<std::wstring> lines = process.DebugLines();
    return std::find(lines.begin(), lines.end(), L"fixture: " + line) != lines.end();
}

bool WaitForLine(const DebuggedProcess& process, const std::wstring& line) {
    return WaitUntil(kTimeoutMs, [&] { return HasLine(process, line); });
}

std::wstring FixtureProgram() { return WindowsPathFromUnix(STARFOLD_E2E_FIXTURE_WINDOW); }

class FixtureWindow : public ::testing::Test {
protected:
    void Launch(const std::wstring& arguments, std::map<std::wstring, std::wstring> variables = {}) {
        std::wstring problem;
        ASSERT_TRUE(process_.Start({FixtureProgram(), arguments, L"", std::move(variables)}, &problem))
            << Utf8FromWide(problem);
        window_ = WaitForTopLevelWindow(process_.ProcessId(), kFixtureClass, kFixtureTitle, kTimeoutMs);
        ASSERT_TRUE(window_) << "the fixture window did not appear";
    }

    HWND Control(int id) { return FindControl(window_, id); }

    DebuggedProcess process_;
    HWND window_ = nullptr;
};

TEST_F(FixtureWindow, ReportsDebugLinesExitCodeAndNoCrashForACleanRun) {
    ASSERT_NO_FATAL_FAILURE(Launch(L"--exit-code 7"));
    EXPECT_TRUE(WaitForLine(process_, L"window shown"));
    EXPECT_FALSE(process_.HasExited());
    ASSERT_TRUE(PostClose(window_));
    ASSERT_TRUE(process_.WaitForExit(kTimeoutMs));
    EXPECT_EQ(process_.ExitCode(), std::optional<DWORD>(7));
    std::vector<std::wstring> lines = process_.DebugLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], L"fixture: closing");
    EXPECT_EQ(lines.back(), L"fixture: leaving with 7");
    EXPECT_TRUE(process_.LastChanceExceptions().empty());
}

TEST_F(FixtureWindow, TheTitleBarCloseEndsTheProgramLikeWmClose) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    ASSERT_TRUE(PostTitleBarClose(window_));
    ASSERT_TRUE(process_.WaitForExit(kTimeoutMs));
    EXPECT_TRUE(HasLine(process_, L"closing"));
    EXPECT_EQ(process_.ExitCode(), std::optional<DWORD>(0));
}

TEST_F(FixtureWindow, ACrashIsALastChanceExceptionWhileAHandledOneIsNot) {
    ASSERT_NO_FATAL_FAILURE(Launch(L"--handled-exception --crash-on-click"));
    EXPECT_TRUE(HasLine(process_, L"survived a handled exception"));
    EXPECT_TRUE(process_.LastChanceExceptions().empty());
    ASSERT_TRUE(PostClick(Control(kFixtureBoxes)));
    ASSERT_TRUE(process_.WaitForExit(kTimeoutMs));
    EXPECT_TRUE(HasLine(process_, L"crashing"));
    std::vector<UnhandledException> crashes = process_.LastChanceExceptions();
    ASSERT_EQ(crashes.size(), 1u);
    EXPECT_EQ(crashes[0].code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_NE(process_.ExitCode(), std::optional<DWORD>(0));
}

TEST_F(FixtureWindow, AProgramThatCannotStartIsReported) {
    std::wstring problem;
    EXPECT_FALSE(process_.Start({L"Z:\\nonexistent\\program.exe"}, &problem));
    EXPECT_NE(problem.find(L"CreateProcess failed"), std::wstring::npos);
}

TEST_F(FixtureWindow, TerminateEndsARunningProgram) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    process_.Terminate();
    EXPECT_TRUE(process_.HasExited());
    EXPECT_EQ(process_.ExitCode(), std::optional<DWORD>(0xDEAD));
}

TEST_F(FixtureWindow, ControlsAreReadRelativeToTheirParentsClientArea) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    ControlState top = ReadControl(window_);
    EXPECT_EQ(top.text, kFixtureTitle);
    EXPECT_EQ(top.parent, nullptr);
    EXPECT_EQ(top.placement, (Placement{120, 90, 330, 200}));

    ControlState group = ReadControl(Control(kFixtureGroup));
    EXPECT_EQ(group.parent, window_);
    EXPECT_EQ(group.placement, (Placement{8, 8, 300, 60}));
    EXPECT_EQ(group.text, L"\u5206\u7ec4");

    ControlState edit = ReadControl(Control(kFixtureEdit));
    EXPECT_EQ(edit.parent, group.handle) << "a control inside a group box is that box's child";
    EXPECT_EQ(edit.placement, (Placement{12, 20, 200, 24}));
    EXPECT_EQ(edit.className, L"Edit");
    EXPECT_EQ(edit.text, L"\u539f\u6587");
    EXPECT_TRUE(edit.visible && edit.visibleStyle && edit.enabled);

    ControlState hidden = ReadControl(Control(kFixtureHidden));
    EXPECT_FALSE(hidden.visible);
    EXPECT_FALSE(hidden.visibleStyle);
    EXPECT_EQ(CheckState(Control(kFixtureCheck)), BST_UNCHECKED);
    EXPECT_EQ(FindControl(window_, 999), nullptr);
}

TEST_F(FixtureWindow, HidingAGroupBoxHidesItsChildrenButNotTheirStyle) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    ShowWindow(Control(kFixtureGroup), SW_HIDE);
    ControlState edit;
    ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] {
        edit = ReadControl(Control(kFixtureEdit));
        return !edit.visible;
    }));
    EXPECT_TRUE(edit.visibleStyle);
}

TEST_F(FixtureWindow, APostedClickTicksTheCheckBoxAndFiresItsClickedEvent) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    ASSERT_TRUE(PostClick(Control(kFixtureCheck)));
    ASSERT_TRUE(WaitForLine(process_, L"check box clicked, checked=1"));
    EXPECT_EQ(CheckState(Control(kFixtureCheck)), BST_CHECKED);
    EXPECT_TRUE(ReadControl(Control(kFixtureHidden)).visible);
    EXPECT_EQ(ReadControl(window_).placement.height, 260);

    ASSERT_TRUE(PostClick(Control(kFixtureCheck)));
    ASSERT_TRUE(WaitForLine(process_, L"check box clicked, checked=0"));
    EXPECT_EQ(CheckState(Control(kFixtureCheck)), BST_UNCHECKED);
    EXPECT_EQ(ReadControl(window_).placement.height, 200);
}

TEST_F(FixtureWindow, ButtonDownAndUpOverTheLabelArriveSeparately) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    HWND label = Control(kFixtureLabel);
    ASSERT_TRUE(PostLeftButtonDown(label, 5, 6));
    ASSERT_TRUE(WaitForLine(process_, L"label down at 5,6"));
    Sleep(200);
    EXPECT_FALSE(HasLine(process_, L"label up"));
    ASSERT_TRUE(PostLeftButtonUp(label, 5, 6));
    EXPECT_TRUE(WaitForLine(process_, L"label up"));
}

TEST_F(FixtureWindow, TypingAndSettingTextReplaceTheWholeEditBox) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    HWND edit = Control(kFixtureEdit);
    const std::wstring typed = L"http://127.0.0.1:1/\u6e90?x=1";
    ASSERT_TRUE(PostTyping(edit, typed));
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return WindowText(edit) == typed; })) << Utf8FromWide(*WindowText(edit));
    ASSERT_TRUE(PostTyping(edit, L""));
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return WindowText(edit) == std::wstring(); }));
    ASSERT_TRUE(SendText(edit, L"\u65b0"));
    EXPECT_EQ(WindowText(edit), std::wstring(L"\u65b0"));
}

struct BoxCase {
    UINT flags;
    BoxIcon icon;
    std::vector<int> buttons;
    int answer;
};

TEST_F(FixtureWindow, EachMessageBoxIsReadAndAnsweredWithTheChosenButton) {
    const std::vector<BoxCase> cases = {
        {0x10, BoxIcon::Error, {IDOK}, IDOK},
        {0x30, BoxIcon::Warning, {IDOK}, IDOK},
        {0x24, BoxIcon::Question, {IDYES, IDNO}, IDNO},
        {0x24, BoxIcon::Question, {IDYES, IDNO}, IDYES},
        {0x31, BoxIcon::Warning, {IDOK, IDCANCEL}, IDCANCEL},
        {0x41, BoxIcon::Information, {IDOK, IDCANCEL}, IDOK},
        {0x00, BoxIcon::None, {IDOK}, IDOK},
    };
    std::wstring flagList;
    for (const BoxCase& box : cases) flagList += (flagList.empty() ? L"" : L",") + std::to_wstring(box.flags);
    ASSERT_NO_FATAL_FAILURE(Launch(L"--boxes " + flagList));
    ASSERT_TRUE(PostClick(Control(kFixtureBoxes)));
    for (const BoxCase& expected : cases) {
        wchar_t caption[32];
        swprintf(caption, 32, L"\u6807\u9898 0x%02X", expected.flags);
        SCOPED_TRACE(Utf8FromWide(caption));
        std::optional<MessageBoxState> box = WaitForMessageBox(process_.ProcessId(), kTimeoutMs);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, L"\u7b2c\u4e00\u884c\r\n\u7b2c\u4e8c\u884c " + std::wstring(caption));
        EXPECT_EQ(Utf8FromWide(BoxIconName(box->icon)), Utf8FromWide(BoxIconName(expected.icon)));
        EXPECT_EQ(box->buttons, expected.buttons);
        EXPECT_FALSE(IsWindowEnabled(window_)) << "a task-modal box disables the window";
        ASSERT_TRUE(AnswerMessageBox(*box, expected.answer));
        EXPECT_TRUE(WaitForLine(process_, std::wstring(caption) + L" answered " + std::to_wstring(expected.answer)));
    }
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return IsWindowEnabled(window_) != FALSE; }));
}

TEST_F(FixtureWindow, ABoxIsNotAnsweredWithAButtonItLacks) {
    ASSERT_NO_FATAL_FAILURE(Launch(L"--boxes 0x10"));
    ASSERT_TRUE(PostClick(Control(kFixtureBoxes)));
    std::optional<MessageBoxState> box = WaitForMessageBox(process_.ProcessId(), kTimeoutMs);
    ASSERT_TRUE(box);
    EXPECT_FALSE(AnswerMessageBox(*box, IDCANCEL));
    EXPECT_TRUE(IsWindowVisible(box->handle));
    EXPECT_EQ(WaitForMessageBox(process_.ProcessId(), 100, {box->handle}), std::nullopt) << "the same box is not new";
    EXPECT_TRUE(AnswerMessageBox(*box, IDOK));
}

TEST(IconMatching, EachSystemIconIsKnownOnAnyBackgroundAndAFlatPictureHasNone) {
    for (BoxIcon icon : {BoxIcon::Error, BoxIcon::Warning, BoxIcon::Question, BoxIcon::Information})
        for (uint32_t background : {0xF0F0F0u, 0xFFFFFFu, 0x336699u})
            EXPECT_EQ(Utf8FromWide(BoxIconName(MatchBoxIcon(DrawSystemIcon(icon, background)))),
                      Utf8FromWide(BoxIconName(icon)));
    Image flat{40, 40, std::vector<uint32_t>(1600, 0xF0F0F0)};
    EXPECT_EQ(MatchBoxIcon(flat), BoxIcon::None);
    Image noise = flat;
    for (size_t i = 0; i < noise.pixels.size(); ++i) noise.pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    EXPECT_EQ(MatchBoxIcon(noise), BoxIcon::Unknown);
}

TEST_F(FixtureWindow, AScreenshotShowsTheWindowAndIsSavedAsPng) {
    ASSERT_NO_FATAL_FAILURE(Launch(L""));
    RECT client;
    GetClientRect(window_, &client);
    MapWindowPoints(window_, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    // The client area's corner below the controls shows the button face.
    const uint32_t expected = PixelOf(GetSysColor(COLOR_BTNFACE));
    Image corner;
    RaisedWindow raised(window_);
    WaitUntil(kTimeoutMs, [&] {
        corner = CaptureScreen({client.right - 6, client.bottom - 6, client.right - 2, client.bottom - 2});
        return !corner.pixels.empty() && corner.pixels[0] == expected;
    });
    ASSERT_EQ(corner.pixels.size(), 16u);
    EXPECT_EQ(corner.pixels[0], expected);

    std::wstring folder = std::wstring(STARFOLD_E2E_WORK) + L"\\driver-screenshot";
    ASSERT_TRUE(CreateFolderTree(folder));
    std::wstring path = folder + L"\\screen.png";
    Image screen = CaptureWholeScreen();
    ASSERT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_TRUE(SavePng(screen, path));
    std::optional<std::string> png = ReadWholeFile(path);
    ASSERT_TRUE(png);
    ASSERT_GT(png->size(), 33u);
    EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    auto bigEndian = [&](size_t at) {
        return (static_cast<uint32_t>(static_cast<uint8_t>((*png)[at])) << 24) |
               (static_cast<uint8_t>((*png)[at + 1]) << 16) | (static_cast<uint8_t>((*png)[at + 2]) << 8) |
               static_cast<uint8_t>((*png)[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), static_cast<uint32_t>(screen.width));
    EXPECT_EQ(bigEndian(20), static_cast<uint32_t>(screen.height));
    // A flat desktop compresses far below its raw size.
    EXPECT_LT(png->size(), screen.pixels.size());
}

TEST_F(FixtureWindow, AProfileReachesTheProgramThroughItsEnvironmentAlone) {
    std::wstring folder = std::wstring(STARFOLD_E2E_WORK) + L"\\driver-profile";
    UserProfile profile = ProfileIn(folder);
    ASSERT_TRUE(CreateFolderTree(profile.roaming + L"\\left-over"));
    ASSERT_TRUE(CreateEmptyProfile(profile));
    EXPECT_FALSE(PathExists(profile.roaming + L"\\left-over"));
    EXPECT_TRUE(PathExists(profile.localLow));
    Launch(L"", ProfileEnvironment(profile));
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(HasLine(process_, L"appdata=" + profile.roaming));
    EXPECT_TRUE(HasLine(process_, L"temp=" + profile.temp + L"\\"));
    PostClose(window_);
    ASSERT_TRUE(process_.WaitForExit(kTimeoutMs));

    // A program started without it has the prefix's own.
    DebuggedProcess other;
    ASSERT_TRUE(other.Start({FixtureProgram()}, nullptr));
    ASSERT_TRUE(other.WaitForDebugLine(L"fixture: appdata=", kTimeoutMs));
    std::vector<std::wstring> lines = other.DebugLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"fixture: appdata=" + profile.roaming), 0);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::wstring& line) {
        return line.find(L"\\AppData\\Roaming") != std::wstring::npos;
    }));
}

TEST(Environment, VariablesAreSetOrReplacedWhateverTheirCase) {
    SetEnvironmentVariableW(L"STARFOLD_DRIVER_PROBE", L"old");
    std::wstring block = BuildEnvironmentBlock({{L"starfold_driver_probe", L"new"}, {L"STARFOLD_ADDED", L"x"}});
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = block.c_str(); *entry; entry += wcslen(entry) + 1) entries.push_back(entry);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L"starfold_driver_probe=new"), 1);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L"STARFOLD_DRIVER_PROBE=old"), 0);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L"STARFOLD_ADDED=x"), 1);
    EXPECT_GT(entries.size(), 3u) << "the rest of the environment is inherited";
    EXPECT_EQ(block.substr(block.size() - 2), std::wstring(2, L'\0'));
}

}  // namespace
