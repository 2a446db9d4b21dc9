// The frame of every installer scenario: a fresh profile and site, the
// installer started under the driver, and the checks that most scenarios
// share (the start-up boxes, a clean exit).
#pragma once

#include "driver/installer_session.h"
#include "driver/site_control.h"
#include "tests/win32/waiting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// How long the installer may take for one visible step, beyond any wait of
// its own that the step includes.
inline constexpr DWORD kStepTimeoutMs = kCeilingMs;

struct ExpectedBox {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon;
    std::vector<int> buttons;
    int defaultButton = 0;  // the button Enter presses; 0: not checked
};

// The boxes of the start-up sequence.
ExpectedBox RollbackQuestion();
ExpectedBox Announcement(const std::wstring& text);
ExpectedBox DemoAnnouncement();  // the demo site's own
ExpectedBox NetworkError();
ExpectedBox NewVersionQuestion(const std::wstring& reply);
// The install report for a UTF-8 server list, naming the voice server when given.
ExpectedBox InstallReport(const std::string& listUtf8, const std::optional<std::wstring>& voiceAddress = std::nullopt);

class InstallerScenario : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A session in the folder with an empty profile, and the site with no variants and no requests.
    void BeginSession(const std::wstring& folder);

    // Starts the installer (the build's, or a copy of it) and waits for its main window.
    void Start(const std::wstring& program = L"");
    // Waits for the next box and checks it is the expected one. The box may
    // come only after a wait of the installer's own (its retries, a batch
    // file): for that long more.
    void ExpectBox(const ExpectedBox& expected, MessageBoxState* seen = nullptr, DWORD installerWaitMs = 0);
    void Answer(const MessageBoxState& box, int buttonId);
    // Expects the box and answers it.
    void ExpectAndAnswer(const ExpectedBox& expected, int buttonId);
    // Clicks the button and answers the box it brings up with OK.
    void ClickAndAnswer(Control button, const ExpectedBox& expected);
    // The usual start: the rollback question answered (Cancel), the version
    // found current, the announcement answered as given.
    void AnswerStartupBoxes(int announcementAnswer = IDCANCEL, int rollbackAnswer = IDCANCEL);
    // Yes on the new-version question: the program ends, the browser is handed
    // the download page, and neither the announcement nor the source page was fetched.
    void AcceptNewVersion(const std::wstring& shown);
    // Serves the reply for the path, starts the installer and declines the rollback.
    void StartServing(const std::string& path, const SiteVariant& reply);
    // No box shows up within the time.
    void ExpectNoBox(DWORD waitMs);

    // Waits until the control's state passes the check (the installer acts on posted input later).
    template <typename Check>
    ControlState WaitForControl(Control control, Check check, DWORD timeoutMs = kStepTimeoutMs) {
        ControlState state;
        WaitUntil(timeoutMs, [&] {
            state = session_->Read(control);
            return check(state);
        });
        return state;
    }

    // The window's outer size, once it has taken it, in units of a 96-DPI
    // screen: on the screen each is scaled by scale_, within 2 pixels.
    void ExpectWindowSize(int width, int height);
    // The seven values of the voice-chat layout (ticked) or the collapsed one.
    void ExpectVerticalLayout(bool voiceChat, int windowWidth = 388);

    // Posts a click to the control. A click on 安装 notes whether the game has
    // run in the profile, for the report the install then shows.
    void Click(Control control);
    // The install is about to start, by a click or a key: under Wine, where the
    // game has run nowhere, its report names where the list goes.
    void NoteInstallStarting();
    // Clicks 选择框1 and waits until it has changed its state.
    void Tick();
    int OptionState() { return CheckState(session_->ControlWindow(Control::选择框1)); }
    // Types the text into the edit box in place of what it held, and waits until it shows.
    void Type(Control edit, const std::wstring& text);
    // The process ends with the code, its exit handler ran once, naming the
    // count of released blocks, and it did not crash.
    void ExpectExit(DWORD exitCode, int releasedBlocks);
    void CloseAndExpectExit(int releasedBlocks);

    // The site's requests since the scenario began, and whether they hold the path.
    std::vector<std::string> SiteRequests();
    bool Requested(const std::string& path);

    std::unique_ptr<InstallerSession> session_;
    std::unique_ptr<SiteControl> site_;
    std::wstring name_;
    // The display scale the installer runs at (1.5 at 144 DPI).
    double scale_ = 1.0;
    // Whether the boxes' icons are read off the screen. The few scenarios
    // that run beside the others, not in turn with them, leave the screen alone.
    IconCheck icons_ = IconCheck::Look;
    // A place on the screen that matches one in units at the display scale.
    bool IsScaled(const Placement& seen, const Placement& units) const;
    // The install report as the installer under Wine shows it: where the game
    // had run nowhere before the install (no game folder in the profile, no
    // prefix of the Unix home), it names the place the list went to.
    ExpectedBox AsShownUnderWine(ExpectedBox expected) const;
    bool gameFoundNowhere_ = false;
    std::wstring ownPlace_;  // the installer's own LocalLow as its report names it
};

std::string Utf8(const std::wstring& wide);
// Reads a file of the demo site.
std::string DemoSiteFile(const std::string& relative);
