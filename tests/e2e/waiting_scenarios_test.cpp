// Downloads that stall or drip: each ends within its time limit as a failed
// download, the window answers the system all along, what the user does
// meanwhile is never acted upon, and closing ends the program at once.
#include "tests/win32/files.h"
#include "driver/side_process.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/window_input.h"
#include "install_scenario.h"
#include "e2e_paths.h"
#include "support/download_limits.h"
#include "support/processes.h"

namespace {

const std::string kPlayersRegionFile = "{\"Regions\": [\"the player's own\"]}";
// Windows calls a window hung that has not answered for this long.
constexpr DWORD kHungAfterMs = 5000;
// A download given up for silence shows its box within this.
constexpr ULONGLONG kSilenceBoxMs = kSilenceLimitMs + kStepTimeoutMs;

// A site that accepts the connection and then sends nothing.
SiteVariant Stalled() { return {DemoList(), 200, Delivery::Stall}; }

class WaitingScenario : public InstallScenario {
protected:
    // Asks the window every 200 ms whether it answers, until the installer
    // shows a box or ends; gives how long that took. Every question must be
    // answered before Windows would call the window hung (5 s).
    ULONGLONG AnswerUntilABoxShows(ULONGLONG timeoutMs) {
        const ULONGLONG start = GetTickCount64();
        int asked = 0;
        while (OpenMessageBoxes(session_->Process().ProcessId()).empty() && !session_->Process().HasExited() &&
               GetTickCount64() - start < timeoutMs) {
            DWORD_PTR result = 0;
            EXPECT_NE(SendMessageTimeoutW(session_->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kHungAfterMs, &result), 0)
                << "the window did not answer " << (GetTickCount64() - start) << " ms into the wait";
            ++asked;
            Sleep(200);
        }
        EXPECT_GT(asked, 10) << "the wait was too short to tell";
        return GetTickCount64() - start;
    }

    void ClickInstallAndWaitUntilBusy() {
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮1));
        ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return InstallButtonIsBusy(); }));
    }

    // The pointer over an empty part of the window. Pointers are handles of
    // the installer's own that no other process can draw or name, so a test
    // can tell only whether it has changed. The pointer read is the
    // foreground window's, and other tests' windows may take the foreground
    // meanwhile: the installer's window is brought to it until a read holds.
    HCURSOR PointerOverTheWindow() {
        RaisedWindow raised(session_->MainWindow());
        ControlState window = session_->Read(Control::Window);
        SetCursorPos(window.placement.left + window.placement.width - 12, window.placement.top + window.placement.height - 12);
        CURSORINFO info = {sizeof info};
        WaitUntil(kStepTimeoutMs, [&] {
            SetForegroundWindow(session_->MainWindow());
            Sleep(300);
            GetCursorInfo(&info);
            return GetForegroundWindow() == session_->MainWindow();
        });
        return info.hCursor;
    }
};

TEST_F(WaitingScenario, AStalledVersionCheckEndsInTheNetworkErrorWhileTheWindowAnswers) {
    icons_ = IconCheck::Skip;
    ASSERT_NO_FATAL_FAILURE(StartServing("/Lanternkit/versioninfo.json", Stalled()));
    EXPECT_LT(AnswerUntilABoxShows(kSilenceBoxMs), kSilenceBoxMs);
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(0));
}

TEST_F(WaitingScenario, AStalledListEndsInTheListErrorAndAClickMeanwhileIsNeverActedUpon) {
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kPlayersRegionFile));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", Stalled()));
    const HCURSOR idle = PointerOverTheWindow();
    ASSERT_NO_FATAL_FAILURE(ClickInstallAndWaitUntilBusy());
    EXPECT_NE(PointerOverTheWindow(), idle) << "the pointer does not show the wait";
    // A click posted, and one sent, as another program may: neither runs the uninstall.
    ASSERT_NO_FATAL_FAILURE(Click(Control::按钮3));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(session_->ControlWindow(Control::按钮3), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    EXPECT_LT(AnswerUntilABoxShows(kSilenceBoxMs), kSilenceBoxMs);
    MessageBoxState box;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(kListError, &box));
    ASSERT_NO_FATAL_FAILURE(Answer(box, IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectInstallButtonIdle());
    ExpectNoBox(1500);  // the uninstall clicked during the wait
    ExpectFile(RegionFile(), kPlayersRegionFile);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(WaitingScenario, AListThatDripsEndsInTheListErrorWhenTheWholeDownloadTakesTooLong) {
    icons_ = IconCheck::Skip;
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kPlayersRegionFile));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    SiteVariant dripping{DemoList(), 200, Delivery::Drip};  // a byte every 2 s: never 15 s without one
    ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", dripping));
    ASSERT_NO_FATAL_FAILURE(ClickInstallAndWaitUntilBusy());
    const ULONGLONG took = AnswerUntilABoxShows(kWholeLimitMs + kStepTimeoutMs);
    EXPECT_GE(took, 100000u) << "ended before its bytes stopped being enough";
    EXPECT_LT(took, kWholeLimitMs + kStepTimeoutMs);
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(kListError, IDOK));
    ExpectFile(RegionFile(), kPlayersRegionFile);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(WaitingScenario, ClosingDuringADownloadEndsTheProgramAtOnce) {
    icons_ = IconCheck::Skip;
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kPlayersRegionFile));
    const std::pair<const char*, bool (*)(HWND)> ways[] = {
        {"WM_CLOSE", PostClose},
        {"the title bar's close", PostTitleBarClose},
        {"Alt+F4", [](HWND window) { return PostMessageW(window, WM_SYSKEYDOWN, VK_F4, 0x20000001) != FALSE; }},
    };
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
        ASSERT_TRUE(site_->Serve("/Lanternkit/serverlist.json", Stalled()));
        ASSERT_NO_FATAL_FAILURE(ClickInstallAndWaitUntilBusy());
        Sleep(500);
        // Long before the download's own silence limit could have ended it.
        const DWORD kAtOnceMs = 10000;
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(close(session_->MainWindow()));
        ASSERT_TRUE(session_->Process().WaitForExit(kAtOnceMs)) << "still running 10 s after the close";
        EXPECT_LT(GetTickCount64() - start, kAtOnceMs);
        ASSERT_NO_FATAL_FAILURE(ExpectExit(0, 1));
        ExpectFile(RegionFile(), kPlayersRegionFile);
        ASSERT_NO_FATAL_FAILURE(BeginSession(session_->Folder()));
        ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kPlayersRegionFile));
    }
}

// Closed while a region file held open by the game is waited for: the
// program ends at once, and the temporary file of the write, the copy and
// the record go with it.
TEST_F(WaitingScenario, ClosingWhileAHeldFileIsWaitedForLeavesNoTemporaryFile) {
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile(kPlayersRegionFile));
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    HeldFile game(RegionFile(), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(game.IsOpen());
    ASSERT_NO_FATAL_FAILURE(ClickInstallAndWaitUntilBusy());
    // The file, its copy, the record, and the temporary file of the write that waits.
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return FolderEntries(GameFolder()).size() == 4; }));
    ASSERT_TRUE(PostClose(session_->MainWindow()));
    ASSERT_NO_FATAL_FAILURE(ExpectExit(0, 2));  // the version reply and the list
    // No half is left: the file stays the player's, with no copy or record to take it for ours.
    ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});
    ExpectFile(RegionFile(), kPlayersRegionFile);
}

// A Unity folder of thousands of files takes the batch file seconds to remove:
// the window answers all along.
TEST_F(WaitingScenario, ARollbackOfALargeUnityFolderKeepsTheWindowAnswering) {
    const std::wstring unity = session_->Profile().localLow + L"\\Unity";
    for (int folder = 0; folder < 30; ++folder) {
        const std::wstring cache = unity + L"\\cache" + std::to_wstring(folder);
        ASSERT_TRUE(CreateFolderTree(cache));
        for (int file = 0; file < 100; ++file) ASSERT_TRUE(WriteWholeFile(cache + L"\\" + std::to_wstring(file), "x"));
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDOK));
    // The installer waits for the batch file for a minute at most.
    AnswerUntilABoxShows(kLongestExitWaitMs + kStepTimeoutMs);
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), IDCANCEL));
    EXPECT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return !PathExists(unity); })) << "the Unity folder is still there";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

TEST_F(WaitingScenario, ClosedDuringTheVersionCheckNothingMoreIsDone) {
    SideProcess game;
    ASSERT_TRUE(game.Start(WindowsPathFromUnix(STARFOLD_E2E_GAME_STAND_IN)));
    ASSERT_NO_FATAL_FAILURE(StartServing("/Lanternkit/versioninfo.json", Stalled()));
    Sleep(1000);
    ASSERT_TRUE(PostClose(session_->MainWindow()));
    ASSERT_NO_FATAL_FAILURE(ExpectExit(0, 0));  // before the reply was kept
    Sleep(1000);
    EXPECT_TRUE(game.Running()) << "the game was ended after the close";
    EXPECT_EQ(SiteRequests(), std::vector<std::string>{"/Lanternkit/versioninfo.json"});
}

}  // namespace
