// An installer run from a downloads folder where a web page has planted
// libraries named like system ones, with Wine told to prefer a library found
// on the search path, as Windows does for every library that is not one of
// its known DLLs. None of the planted libraries may ever be loaded.
//
// Wine gives a program's children the library overrides that the program was
// started with, so CTest starts these cases with the planted names preferred.
#include "tests/win32/files.h"
#include "e2e_paths.h"
#include "install_scenario.h"

#include <sstream>

namespace {

std::vector<std::wstring> PlantedNames() {
    std::vector<std::wstring> names;
    std::wistringstream list(STARFOLD_E2E_PLANTED_NAMES);
    for (std::wstring name; std::getline(list, name, L',');) names.push_back(name);
    return names;
}

class PlantedLibraryScenario : public InstallScenario {
protected:
    std::wstring Downloads() const { return session_->Folder() + L"\\Downloads"; }

    // The libraries beside a copy of the installer.
    void PlantLibraries() {
        wchar_t overrides[1024] = {};
        GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 1024);
        ASSERT_NE(std::wstring(overrides).find(STARFOLD_E2E_PLANTED_NAMES L"=n,b"), std::wstring::npos)
            << "started without the planted names preferred: " << Utf8(overrides);
        ASSERT_TRUE(CreateFolderTree(Downloads()));
        const std::wstring from = WindowsPathFromUnix(STARFOLD_E2E_PLANTED_DIR) + L"\\";
        for (const std::wstring& name : PlantedNames())
            ASSERT_TRUE(CopyFileW((from + name + L".dll").c_str(), (Downloads() + L"\\" + name + L".dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((from + L"library_loader.exe").c_str(), (Downloads() + L"\\library_loader.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(WindowsPathFromUnix(STARFOLD_E2E_INSTALLER).c_str(), Installer().c_str(), FALSE));
    }

    std::wstring Installer() const { return Downloads() + L"\\StarfoldCommunityInstaller.exe"; }

    std::vector<std::wstring> Marks() const {
        std::vector<std::wstring> marks;
        for (const std::wstring& entry : FolderEntries(Downloads()))
            if (entry.size() > 7 && entry.compare(entry.size() - 7, 7, L".loaded") == 0) marks.push_back(entry);
        return marks;
    }

    // The control: a program that loads a library by its bare name from the
    // same folder, with the same environment, does take the planted one.
    void ExpectAnUnprotectedLoadTakesAPlantedLibrary() {
        for (const std::wstring& name : PlantedNames()) {
            SCOPED_TRACE(Utf8(name));
            DebuggedProcess loader;
            LaunchRequest request{Downloads() + L"\\library_loader.exe", name + L".dll", Downloads(), {}};
            std::wstring problem;
            ASSERT_TRUE(loader.Start(request, &problem)) << Utf8(problem);
            ASSERT_TRUE(loader.WaitForExit(kStepTimeoutMs));
            const std::wstring mark = Downloads() + L"\\" + name + L".dll.loaded";
            EXPECT_TRUE(PathExists(mark)) << "the planted library was not taken without protection";
            DeleteFileW(mark.c_str());
        }
    }

    // Starts the copy, installs, opens the side panel and closes.
    void UseTheInstaller() {
        ASSERT_NO_FATAL_FAILURE(Start(Installer()));
        ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes());
        ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
        ExpectFile(RegionFile(), DemoList());
        ASSERT_NO_FATAL_FAILURE(Click(Control::按钮2));
        ExpectWindowSize(751, 160);
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
    }
};

TEST_F(PlantedLibraryScenario, NoLibraryBesideTheInstallerIsLoadedWhileItStartsInstallsAndCloses) {
    ASSERT_NO_FATAL_FAILURE(PlantLibraries());
    ASSERT_NO_FATAL_FAILURE(ExpectAnUnprotectedLoadTakesAPlantedLibrary());
    ASSERT_TRUE(Marks().empty());
    UseTheInstaller();
    std::wstring loaded;
    for (const std::wstring& mark : Marks()) loaded += L" " + mark;
    EXPECT_TRUE(loaded.empty()) << "planted libraries were loaded:" << Utf8(loaded);
}

}  // namespace
