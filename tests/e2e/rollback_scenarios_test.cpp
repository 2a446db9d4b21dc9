// The settings rollback through the driver, on real folders of the
// scenario's profile: the Unity folder removed by the batch file, the
// settings file replaced, and nothing else on disk touched.
#include "driver/folder_watch.h"
#include "install_scenario.h"
#include "startup/settings_rollback.h"
#include "tests/win32/files.h"

#include <map>

namespace {

// Every file and folder under the root, by relative path: "<folder>" for a
// folder, else the file's bytes, with " (read-only)" after a read-only one.
std::map<std::wstring, std::string> TreeOf(const std::wstring& root, const std::wstring& relative = L"") {
    std::map<std::wstring, std::string> tree;
    for (const std::wstring& name : FolderEntries(root + relative)) {
        std::wstring path = relative + L"\\" + name;
        if (IsFolder(root + path)) {
            tree[path] = "<folder>";
            tree.merge(TreeOf(root, path));
        } else {
            tree[path] = ReadWholeFile(root + path).value_or("<unreadable>") + (IsReadOnly(root + path) ? " (read-only)" : "");
        }
    }
    return tree;
}

std::string Listing(const std::map<std::wstring, std::string>& tree) {
    std::string text;
    for (const auto& [path, contents] : tree) text += Utf8(path) + "\n";
    return text.empty() ? "(nothing)" : text;
}

std::string TemplateBytes() { return std::string(SettingsTemplate().begin(), SettingsTemplate().end()); }

class RollbackScenario : public InstallerScenario {
protected:
    std::wstring Unity() const { return session_->Profile().localLow + L"\\Unity"; }
    std::wstring Game() const { return session_->Profile().localLow + L"\\Mossgrove\\Starfold"; }
    std::wstring Settings() const { return Game() + L"\\settings.tallow"; }

    // A Unity folder as the engine leaves it: nested folders, an empty one,
    // a Chinese name and a read-only file.
    static void MakeUnityFolder(const std::wstring& unity) {
        ASSERT_TRUE(CreateFolderTree(unity + L"\\Mossgrove\\Starfold\\缓存"));
        ASSERT_TRUE(CreateFolderTree(unity + L"\\Analytics\\ArchivedEvents\\empty"));
        ASSERT_TRUE(WriteWholeFile(unity + L"\\Mossgrove\\Starfold\\缓存\\shader.bin", std::string(5000, '\x7f')));
        ASSERT_TRUE(WriteWholeFile(unity + L"\\Analytics\\values", "{}"));
        const std::wstring log = unity + L"\\Mossgrove\\Starfold\\Player.log";
        ASSERT_TRUE(WriteWholeFile(log, "started\r\n"));
        ASSERT_TRUE(SetReadOnly(log, true));
    }

    void MakeGameFolder() {
        ASSERT_TRUE(CreateFolderTree(Game()));
        ASSERT_TRUE(WriteWholeFile(Settings(), "{\"dataVersion\": 3}"));
        ASSERT_TRUE(WriteWholeFile(Game() + L"\\regionInfo.json", "{\"Regions\": []}"));
    }

    // Runs the start-up with the rollback answered as given: the version is
    // current, so the announcement is the next box, and nothing comes between.
    // Unless told not to, it watches the temporary folder from before the
    // installer starts until it has ended.
    void RunStartUp(int rollbackAnswer, bool watchTemp = true) {
        if (watchTemp) {
            watch_ = std::make_unique<FolderWatch>(session_->Profile().temp);
            ASSERT_TRUE(watch_->Watching()) << "cannot watch " << Utf8(session_->Profile().temp);
        }
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes(IDCANCEL, rollbackAnswer));
        ExpectNoBox(300);
    }

    // Both folders made and the rollback accepted: the Unity folder is gone and the settings are the template.
    void RollBack() {
        ASSERT_NO_FATAL_FAILURE(MakeUnityFolder(Unity()));
        ASSERT_NO_FATAL_FAILURE(MakeGameFolder());
        ASSERT_NO_FATAL_FAILURE(RunStartUp(IDOK));
        EXPECT_FALSE(PathExists(Unity())) << "still there:\n" << Listing(TreeOf(Unity()));
        EXPECT_TRUE(ReadWholeFile(Settings()) == TemplateBytes()) << "the settings file is not the template";
    }

    // Closes the installer and ends the watch: whether Speed.bat ever appeared.
    bool FinishAndSawBatchFile(int releasedBlocks = 1) {
        CloseAndExpectExit(releasedBlocks);
        watch_->Stop();
        EXPECT_FALSE(watch_->Overflowed()) << "changes of the temporary folder were lost";
        EXPECT_FALSE(PathExists(session_->Profile().temp + L"\\Speed.bat")) << "the batch file is left behind";
        EXPECT_EQ(Listing(TreeOf(session_->Profile().temp)), "(nothing)") << "left in the temporary folder";
        return watch_->Appeared(L"Speed.bat");
    }

    std::unique_ptr<FolderWatch> watch_;
};

TEST_F(RollbackScenario, OkRemovesTheWholeUnityFolderAndWritesTheTemplateInPlaceOfTheSettings) {
    ASSERT_NO_FATAL_FAILURE(RollBack());
    EXPECT_EQ(ReadWholeFile(Settings()).value_or("").size(), 1447u);
    EXPECT_EQ(ReadWholeFile(Game() + L"\\regionInfo.json"), "{\"Regions\": []}");
    EXPECT_EQ(Listing(TreeOf(session_->Profile().localLow)), Utf8(L"\\Mossgrove\n\\Mossgrove\\Starfold\n"
                                                                   L"\\Mossgrove\\Starfold\\regionInfo.json\n"
                                                                   L"\\Mossgrove\\Starfold\\settings.tallow\n"
                                                                   L"\\Mossgrove\\Starfold\\settings.tallow.bak\n"));
    EXPECT_EQ(ReadWholeFile(Settings() + L".bak"), "{\"dataVersion\": 3}") << "the player's settings are not kept";
    EXPECT_TRUE(FinishAndSawBatchFile()) << "the folder went without the batch file";
}

TEST_F(RollbackScenario, CancelLeavesTheUnityFolderAndTheSettingsFileAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(MakeUnityFolder(Unity()));
    ASSERT_NO_FATAL_FAILURE(MakeGameFolder());
    const std::map<std::wstring, std::string> before = TreeOf(session_->Profile().localLow);
    ASSERT_EQ(before.at(L"\\Unity\\Mossgrove\\Starfold\\Player.log"), "started\r\n (read-only)");
    ASSERT_NO_FATAL_FAILURE(RunStartUp(IDCANCEL));
    EXPECT_TRUE(TreeOf(session_->Profile().localLow) == before) << "now:\n" << Listing(TreeOf(session_->Profile().localLow));
    EXPECT_EQ(ReadWholeFile(Settings()), "{\"dataVersion\": 3}");
    EXPECT_FALSE(FinishAndSawBatchFile());
}

TEST_F(RollbackScenario, WithoutAUnityFolderNoBatchFileIsEverWrittenAndTheSettingsAreReplaced) {
    ASSERT_NO_FATAL_FAILURE(MakeGameFolder());
    ASSERT_NO_FATAL_FAILURE(RunStartUp(IDOK));
    EXPECT_TRUE(ReadWholeFile(Settings()) == TemplateBytes()) << "the settings file is not the template";
    EXPECT_FALSE(FinishAndSawBatchFile()) << "Speed.bat was written though there was nothing to remove";
}

TEST_F(RollbackScenario, WithoutTheGameFolderOnlyTheUnityFolderGoesAndNothingIsCreated) {
    ASSERT_NO_FATAL_FAILURE(MakeUnityFolder(Unity()));
    ASSERT_NO_FATAL_FAILURE(RunStartUp(IDOK));  // no box of its own between the question and the announcement
    EXPECT_EQ(Listing(TreeOf(session_->Profile().localLow)), "(nothing)") << "no settings file, no Mossgrove folder";
    EXPECT_EQ(Listing(TreeOf(session_->Profile().roaming)), "(nothing)");
    EXPECT_TRUE(FinishAndSawBatchFile());
}

TEST_F(RollbackScenario, AnotherProgramsReadOnlySpeedBatIsNeverRunAndTheSettingsAreStillReplaced) {
    const std::wstring foreign = session_->Profile().temp + L"\\Speed.bat";
    ASSERT_TRUE(WriteWholeFile(foreign, "echo ran> \"%~dp0foreign-ran.txt\"\r\n"));
    ASSERT_TRUE(SetFileAttributesW(foreign.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NO_FATAL_FAILURE(MakeUnityFolder(Unity()));
    ASSERT_NO_FATAL_FAILURE(MakeGameFolder());
    ASSERT_NO_FATAL_FAILURE(RunStartUp(IDOK, false));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
    EXPECT_EQ(Listing(TreeOf(session_->Profile().temp)), "\\Speed.bat\n") << "the other Speed.bat ran or was replaced";
    EXPECT_TRUE(PathExists(Unity())) << "no batch file of ours was run";
    EXPECT_TRUE(ReadWholeFile(Settings()) == TemplateBytes()) << "the settings file is not the template";
}

// cmd expands "%NAME%" in a batch file and in the command line that starts
// one. The profile and the temporary folder below both hold "a%USERNAME%b";
// a decoy lies where cmd's expansion of it would lead, and one where a path
// whose "%" had been doubled twice would lead. Each decoy has a Unity folder
// and a Speed.bat of its own that leaves a mark if it runs.
TEST_F(RollbackScenario, ASpaceAPercentAndChineseInThePathsRemoveThatUnityFolderOnly) {
    wchar_t user[256] = {};
    DWORD length = GetEnvironmentVariableW(L"USERNAME", user, 256);
    ASSERT_TRUE(length > 0 && length < 256) << "the expansion needs a USERNAME";
    const std::wstring base = session_->Folder();
    const std::wstring decoys[] = {base + L"\\名 a" + user + L"b 星", base + L"\\名 a%%USERNAME%%b 星"};
    ASSERT_NO_FATAL_FAILURE(BeginSession(base + L"\\名 a%USERNAME%b 星"));
    for (const std::wstring& decoy : decoys) {
        UserProfile profile = ProfileIn(decoy + L"\\profile");
        ASSERT_TRUE(CreateEmptyProfile(profile));
        ASSERT_NO_FATAL_FAILURE(MakeUnityFolder(profile.localLow + L"\\Unity"));
        ASSERT_TRUE(WriteWholeFile(profile.temp + L"\\Speed.bat", "echo ran> \"%~dp0decoy-ran.txt\"\r\n"));
    }
    ASSERT_NO_FATAL_FAILURE(RollBack());
    for (const std::wstring& decoy : decoys) {
        SCOPED_TRACE(Utf8(decoy));
        UserProfile profile = ProfileIn(decoy + L"\\profile");
        EXPECT_TRUE(PathExists(profile.localLow + L"\\Unity\\Mossgrove\\Starfold\\Player.log"));
        EXPECT_EQ(Listing(TreeOf(profile.temp)), "\\Speed.bat\n") << "the decoy's Speed.bat ran or was replaced";
    }
    EXPECT_TRUE(FinishAndSawBatchFile());
}

// Under an English locale (CTest runs this case with one), cmd reads batch
// files in code page 437, which has "é" but no Chinese: the Unity folder and
// the temporary folder under a user folder named "张三 é" are named by their
// short forms, and the install still finds the game's folder there.
TEST_F(RollbackScenario, UserFoldersNamedInChineseWorkUnderAnEnglishLocale) {
    ASSERT_EQ(GetOEMCP(), 437u) << "not run under the English locale";
    ASSERT_NO_FATAL_FAILURE(BeginSession(session_->Folder() + L"\\张三 é"));
    ASSERT_NO_FATAL_FAILURE(RollBack());

    ASSERT_NO_FATAL_FAILURE(ClickAndAnswer(Control::按钮1, InstallReport(DemoList())));
    EXPECT_EQ(ReadWholeFile(Game() + L"\\regionInfo.json"), DemoList());
    EXPECT_TRUE(FinishAndSawBatchFile(2));
}

}  // namespace
