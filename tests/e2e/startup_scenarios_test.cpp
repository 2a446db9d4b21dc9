// The start-up sequence through the driver: its boxes in their order, with
// their texts, icons, buttons and captions, for each kind of version reply;
// the download page, the end of a running game and the source page.
#include "driver/side_process.h"
#include "e2e_paths.h"
#include "scenario.h"
#include "tests/win32/files.h"

#include <algorithm>
#include <iostream>

namespace {

class StartupScenario : public InstallerScenario {
protected:
    // The version reply served, then the installer started and the rollback declined.
    void StartWithVersion(const SiteVariant& reply) { StartServing("/Lanternkit/versioninfo.json", reply); }

    void ExpectTheAnnouncementNext() { ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), IDCANCEL)); }

    // The viewer asks for the source page once the sequence reaches its last
    // step: after the version and the announcement, and nothing after it.
    void ExpectTheSourcePageLoaded() {
        EXPECT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return Requested("/Lanternkit/SourceInfo.html"); }))
            << "the source page was never requested";
        Sleep(100);
        EXPECT_EQ(SiteRequests(), (std::vector<std::string>{"/Lanternkit/versioninfo.json", "/Lanternkit/announcer.txt",
                                                            "/Lanternkit/SourceInfo.html"}));
    }

    // The command lines the taskkill stand-in recorded, in UTF-16 as it writes them.
    static std::wstring MarkOf(const std::wstring& mark) {
        std::string bytes = ReadWholeFile(mark).value_or("");
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }

    // A game that runs until something ends it.
    void StartGame(SideProcess* game) {
        ASSERT_TRUE(game->Start(WindowsPathFromUnix(STARFOLD_E2E_GAME_STAND_IN)));
        ASSERT_TRUE(game->Running());
    }

    // A second run in the same scenario, with a profile of its own.
    void StartAfresh() { BeginSession(session_->Folder() + L"-again"); }

    void ExpectNothingMoreAndClose(int releasedBlocks) {
        ExpectNoBox(300);
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(releasedBlocks));
    }
};

TEST_F(StartupScenario, TheRollbackQuestionComesFirstAndACurrentVersionGoesStraightToTheAnnouncement) {
    ASSERT_NO_FATAL_FAILURE(Start());
    MessageBoxState rollback;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(RollbackQuestion(), &rollback));
    EXPECT_TRUE(SiteRequests().empty()) << "nothing is fetched before the rollback question is answered";
    session_->Screenshot(L"rollback-question");
    ASSERT_NO_FATAL_FAILURE(Answer(rollback, IDCANCEL));
    MessageBoxState announcement;
    ASSERT_NO_FATAL_FAILURE(ExpectBox(DemoAnnouncement(), &announcement));
    EXPECT_EQ(SiteRequests(), (std::vector<std::string>{"/Lanternkit/versioninfo.json", "/Lanternkit/announcer.txt"}));
    ASSERT_NO_FATAL_FAILURE(Answer(announcement, IDOK));
    ExpectTheSourcePageLoaded();
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
    EXPECT_TRUE(session_->OpenedAddresses().empty());
}

// Line ends and spaces around the reply are not part of the version.
TEST_F(StartupScenario, AVersionFollowedByALineEndIsTheCurrentVersion) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion({"1.2024.9.23\r\n"}));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    ExpectTheSourcePageLoaded();  // after Cancel on the announcement too
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

TEST_F(StartupScenario, AnotherVersionIsShownWithoutTheSpaceAndLineEndAroundIt) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion({" 1.2024.10.1\r\n"}));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NewVersionQuestion(L"1.2024.10.1"), IDNO));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

TEST_F(StartupScenario, AnOlderVersionIsOfferedTooAndNoGoesOnToTheAnnouncement) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion({"1.2023.1.1"}));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NewVersionQuestion(L"1.2023.1.1"), IDNO));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
    EXPECT_TRUE(session_->OpenedAddresses().empty()) << "No opens no download page";
}

// An error page or a reply cut off is no version at all: never offered as a newer one.
TEST_F(StartupScenario, AnErrorPageOrACutOffReplyIsANetworkError) {
    SiteVariant notFound{"1.2025.1.1", 404};
    SiteVariant cutOff{"1.2025.1.1", 200, Delivery::Cut, 5};
    for (const SiteVariant& reply : {notFound, cutOff}) {
        SCOPED_TRACE(reply.status == 404 ? "404" : "cut off");
        if (reply.status != 404) ASSERT_NO_FATAL_FAILURE(StartAfresh());
        ASSERT_NO_FATAL_FAILURE(StartWithVersion(reply));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
        ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
        // The reply is kept as received all the same, and released at the end.
        ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
    }
}

TEST_F(StartupScenario, AnEmptyVersionOrOneStartingWithAZeroByteIsANetworkError) {
    for (const std::string& body : {std::string(), std::string("\0" "1.2024.9.23", 12)}) {
        SCOPED_TRACE("version body of " + std::to_string(body.size()) + " bytes");
        if (!body.empty()) ASSERT_NO_FATAL_FAILURE(StartAfresh());
        ASSERT_NO_FATAL_FAILURE(StartWithVersion({body}));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
        ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
        // A reply of a zero byte and text is kept, and released, all the same.
        ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(body.empty() ? 0 : 1));
    }
}

TEST_F(StartupScenario, AnUnreachableSiteGivesTheNetworkErrorThenAnEmptyAnnouncement) {
    ASSERT_NO_FATAL_FAILURE(StartServing("*", {"", 200, Delivery::Drop}));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(Announcement(L""), IDOK));
    ExpectTheSourcePageLoaded();  // and fails to load, which the viewer shows itself
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(0));
}

// An error page or a text cut off midway is no announcement: the box comes
// empty, as when nothing came.
TEST_F(StartupScenario, AnAnnouncementCutOffOrAnErrorPageIsShownEmpty) {
    const std::string announcement = DemoSiteFile("Lanternkit/announcer.txt");
    const SiteVariant replies[] = {{announcement, 200, Delivery::Cut, 8, "text/plain; charset=gbk"},
                                   {"<html><body><h1>404 Not Found</h1></body></html>", 404, Delivery::Whole, 0, "text/html"}};
    for (const SiteVariant& reply : replies) {
        SCOPED_TRACE(reply.status);
        if (&reply != replies) ASSERT_NO_FATAL_FAILURE(StartAfresh());
        ASSERT_NO_FATAL_FAILURE(StartServing("/Lanternkit/announcer.txt", reply));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(Announcement(L""), IDCANCEL));
        ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
    }
}

// Yes ends the program at once: the download page is opened, and neither the
// announcement, nor the game's end, nor the source page follows.
TEST_F(StartupScenario, YesOnAnotherOrAnOlderVersionOpensTheDownloadPageAndEndsTheProgram) {
    SideProcess game;
    ASSERT_NO_FATAL_FAILURE(StartGame(&game));
    struct Reply {
        std::string body;
        std::wstring shown;
    };
    const Reply replies[] = {{"1.2024.10.1\r\n", L"1.2024.10.1"}, {"1.2023.1.1", L"1.2023.1.1"}};
    for (const Reply& reply : replies) {
        SCOPED_TRACE("version reply " + Utf8(reply.shown));
        if (&reply != replies) ASSERT_NO_FATAL_FAILURE(StartAfresh());
        ASSERT_NO_FATAL_FAILURE(StartWithVersion({reply.body}));
        ASSERT_NO_FATAL_FAILURE(AcceptNewVersion(reply.shown));
        EXPECT_TRUE(game.Running()) << "the game was ended";
    }
}

// The announcement's OK ends the game with the system's taskkill, never with a
// taskkill.exe that lies beside the installer in the folder it was started from.
TEST_F(StartupScenario, OkOnTheAnnouncementEndsTheGameAndCancelLeavesItWithADownloadedTaskkillNeverRun) {
    for (int answer : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        if (answer == IDCANCEL) ASSERT_NO_FATAL_FAILURE(StartAfresh());
        const std::wstring downloads = session_->Folder() + L"\\downloads";
        const std::wstring installer = downloads + L"\\StarfoldCommunityInstaller.exe";
        const std::wstring mark = downloads + L"\\taskkill-ran.txt";
        ASSERT_TRUE(CreateFolderTree(downloads));
        ASSERT_TRUE(CopyFileW(WindowsPathFromUnix(STARFOLD_E2E_INSTALLER).c_str(), installer.c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(WindowsPathFromUnix(STARFOLD_E2E_TASKKILL_STAND_IN).c_str(),
                              (downloads + L"\\taskkill.exe").c_str(), FALSE));
        {
            // The stand-in leaves its mark when it runs, so that its absence below means something.
            SideProcess check;
            ASSERT_TRUE(check.Start(downloads + L"\\taskkill.exe"));
            ASSERT_TRUE(check.WaitForExit(kStepTimeoutMs));
            ASSERT_TRUE(PathExists(mark));
            ASSERT_TRUE(DeleteFileW(mark.c_str()));
        }
        SideProcess game;
        ASSERT_NO_FATAL_FAILURE(StartGame(&game));

        ASSERT_NO_FATAL_FAILURE(Start(installer));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(DemoAnnouncement(), answer));
        const ULONGLONG answered = GetTickCount64();
        if (answer == IDOK) {
            EXPECT_TRUE(game.WaitForExit(kStepTimeoutMs)) << "the game still runs after OK";
            std::cout << "the game ended " << GetTickCount64() - answered << " ms after OK\n";
        }
        ExpectTheSourcePageLoaded();
        ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
        if (answer == IDCANCEL) {
            // A taskkill started on Cancel would have ended the game by now
            // (after OK it takes a few tens of milliseconds).
            Sleep(500);
            EXPECT_TRUE(game.Running()) << "Cancel ended the game";
        }
        EXPECT_FALSE(PathExists(mark)) << "the taskkill.exe beside the installer ran: " << Utf8(MarkOf(mark));
    }
}

}  // namespace
