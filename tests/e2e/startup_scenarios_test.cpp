// The start-up sequence through the driver: its boxes in their order, with
// their texts, icons, buttons and captions, for each kind of version reply.
#include "driver/host_files.h"
#include "scenario.h"

#include <algorithm>

namespace {

class StartupScenario : public InstallerScenario {
protected:
    std::wstring AnnouncementText() { return WideFromGbk(DemoSiteFile("Lanternkit/announcer.txt")); }

    // The version reply served, then the installer started and the rollback declined.
    void StartWithVersion(const std::string& body) {
        ASSERT_TRUE(site_->Serve("/Lanternkit/versioninfo.json", {body}));
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
    }

    void ExpectTheAnnouncementNext() { ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(Announcement(AnnouncementText()), IDCANCEL)); }

    // The viewer asks for the source page once the sequence reaches its last step.
    void ExpectTheSourcePageLoaded() {
        EXPECT_TRUE(WaitUntil(kStepTimeoutMs, [&] {
            std::vector<std::string> requests = SiteRequests();
            return std::find(requests.begin(), requests.end(), "/Lanternkit/SourceInfo.html") != requests.end();
        })) << "the source page was never requested";
    }

    // A second run in the same scenario, with a profile of its own.
    void StartAfresh() {
        session_ = std::make_unique<InstallerSession>(session_->Folder() + L"-again");
        ASSERT_TRUE(session_->PrepareProfile());
    }

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
    ASSERT_NO_FATAL_FAILURE(ExpectBox(Announcement(AnnouncementText()), &announcement));
    EXPECT_EQ(SiteRequests(), (std::vector<std::string>{"/Lanternkit/versioninfo.json", "/Lanternkit/announcer.txt"}));
    ASSERT_NO_FATAL_FAILURE(Answer(announcement, IDOK));
    ExpectTheSourcePageLoaded();
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
    EXPECT_TRUE(session_->OpenedAddresses().empty());
}

// Line ends and spaces around the reply are not part of the version.
TEST_F(StartupScenario, AVersionFollowedByALineEndIsTheCurrentVersion) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion("1.2024.9.23\r\n"));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    ExpectTheSourcePageLoaded();  // after Cancel on the announcement too
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

TEST_F(StartupScenario, AnotherVersionIsShownWithoutTheSpaceAndLineEndAroundIt) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion(" 1.2024.10.1\r\n"));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NewVersionQuestion(L"1.2024.10.1"), IDNO));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

TEST_F(StartupScenario, AnOlderVersionIsOfferedTooAndNoGoesOnToTheAnnouncement) {
    ASSERT_NO_FATAL_FAILURE(StartWithVersion("1.2023.1.1"));
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
        ASSERT_TRUE(site_->Serve("/Lanternkit/versioninfo.json", reply));
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
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
        ASSERT_NO_FATAL_FAILURE(StartWithVersion(body));
        ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
        ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
        // A reply of a zero byte and text is kept, and released, all the same.
        ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(body.empty() ? 0 : 1));
    }
}

TEST_F(StartupScenario, AnUnreachableSiteGivesTheNetworkErrorThenAnEmptyAnnouncement) {
    ASSERT_TRUE(site_->Serve("*", {"", 200, Delivery::Drop}));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(NetworkError(), IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(Announcement(L""), IDOK));
    ExpectTheSourcePageLoaded();  // and fails to load, which the viewer shows itself
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(0));
}

TEST_F(StartupScenario, AnAnnouncementCutOffMidwayShowsWhatArrived) {
    const std::string announcement = DemoSiteFile("Lanternkit/announcer.txt");
    // Cut between two characters: the GBK text stays whole up to there.
    const size_t cut = WideCharToMultiByte(936, 0, L"欢迎来到", 4, nullptr, 0, nullptr, nullptr);
    SiteVariant partial{announcement, 200, Delivery::Cut, static_cast<int>(cut), "text/plain; charset=gbk"};
    ASSERT_TRUE(site_->Serve("/Lanternkit/announcer.txt", partial));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(Announcement(L"欢迎来到"), IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

TEST_F(StartupScenario, AcceptingTheRollbackRemovesUnityAndWritesTheSettingsTemplate) {
    const UserProfile& profile = session_->Profile();
    ASSERT_TRUE(CreateFolderTree(profile.localLow + L"\\Unity\\Mossgrove Starfold\\cache"));
    ASSERT_TRUE(WriteWholeFile(profile.localLow + L"\\Unity\\Mossgrove Starfold\\cache\\a.bin", "x"));
    const std::wstring game = profile.localLow + L"\\Mossgrove\\Starfold";
    ASSERT_TRUE(CreateFolderTree(game));
    ASSERT_TRUE(WriteWholeFile(game + L"\\settings.tallow", "{\"dataVersion\": 3}"));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectAndAnswer(RollbackQuestion(), IDOK));
    ASSERT_NO_FATAL_FAILURE(ExpectTheAnnouncementNext());
    EXPECT_FALSE(PathExists(profile.localLow + L"\\Unity"));
    std::optional<std::string> settings = ReadWholeFile(game + L"\\settings.tallow");
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->size(), 1447u);
    EXPECT_EQ(settings->substr(0, 17), "{\r\n  \"gameplay\": ");
    const std::string end = "  \"dataVersion\": 1\r\n}";
    EXPECT_EQ(settings->substr(settings->size() - end.size()), end);
    EXPECT_FALSE(PathExists(profile.temp + L"\\Speed.bat")) << "the batch file deletes itself";
    ASSERT_NO_FATAL_FAILURE(ExpectNothingMoreAndClose(1));
}

}  // namespace
