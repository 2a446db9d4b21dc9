// Files, folders and special folders under Wine, on the prefix's own drive.
#include "support/direct_calls.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/win32/paths.h"
#include "support/win32/wide_text.h"
#include "support/wine.h"
#include "tests/win32/files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Names = std::vector<std::wstring>;

ByteArray Contents(const std::wstring& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    EXPECT_TRUE(bytes) << GbkFromWideReplacing(path);
    return ToBytes(bytes.value_or(""));
}

bool EndsWithIgnoringCase(const Text& text, const Text& tail) {
    return text.size() >= tail.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data() + text.size() - tail.size(),
                          static_cast<int>(tail.size()), tail.data(), static_cast<int>(tail.size())) == CSTR_EQUAL;
}

TEST(SpecialFolder, EachCodeGivesItsFolderEndingInABackslash) {
    const struct {
        int code;
        const char* tail;
    } folders[] = {{1, "\\Documents\\"},     {2, "\\Favorites\\"},           {3, "\\Desktop\\"},
                   {4, "\\windows\\Fonts\\"}, {5, "\\Start Menu\\"},          {6, "\\Start Menu\\Programs\\"},
                   {7, "\\Programs\\StartUp\\"}, {8, "\\AppData\\Roaming\\"}, {9, "C:\\windows\\"},
                   {10, "C:\\windows\\system32\\"}, {11, "\\Temp\\"}};
    for (const auto& folder : folders) {
        Text path = SpecialFolder(folder.code);
        EXPECT_TRUE(EndsWithIgnoringCase(path, folder.tail)) << folder.code << ": " << path;
        EXPECT_EQ(path.compare(0, 3, "C:\\"), 0) << folder.code << ": " << path;
        EXPECT_EQ(path.find("\\\\"), Text::npos) << folder.code << ": " << path;
    }
    for (int code : {0, 12, -1, 100}) EXPECT_EQ(SpecialFolder(code), "") << code;
}

// Points the shell's AppData folder of this process alone at another folder,
// by putting a private copy of the user's key in place of HKEY_CURRENT_USER.
class AppDataFolder {
public:
    explicit AppDataFolder(const std::wstring& folder) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kPrivateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &private_, nullptr);
        RegSetKeyValueW(private_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                        L"AppData", REG_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        overridden_ = RegOverridePredefKey(HKEY_CURRENT_USER, private_) == ERROR_SUCCESS;
    }
    ~AppDataFolder() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(private_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kPrivateKey);
    }
    bool overridden() const { return overridden_; }

private:
    static constexpr const wchar_t* kPrivateKey = L"Software\\StarfoldAppDataTest";
    HKEY private_ = nullptr;
    bool overridden_ = false;
};

// A path that must stand for `folder`: GBK, absolute, no replacement characters.
void ExpectSameFolder(const Text& path, const std::wstring& folder) {
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.find('?'), Text::npos) << path;
    EXPECT_EQ(path.back(), '\\') << path;
    EXPECT_EQ(LongPath(WideFromGbk(path)), folder + L"\\") << path;
}

TEST(SpecialFolder, AFolderNameOutsideGbkGivesTheShortFormOrNothing) {
    ScratchFolder scratch;
    std::wstring profile = scratch / std::wstring(L"한국어 프로필");
    std::wstring roaming = profile + L"\\AppData\\Roaming";
    for (const std::wstring& folder : {profile, profile + L"\\AppData", roaming})
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    {
        AppDataFolder appData(roaming);
        ASSERT_TRUE(appData.overridden());
        ExpectSameFolder(SpecialFolder(8), roaming);
    }
    {
        AppDataFolder appData(scratch / std::wstring(L"없는 폴더😀"));
        EXPECT_EQ(SpecialFolder(8), "");
    }
    {
        EnvironmentValue tmp(L"TMP", profile);
        EnvironmentValue temp(L"TEMP", profile);
        ExpectSameFolder(SpecialFolder(11), profile);
    }
    EnvironmentValue tmp(L"TMP", profile + L"\\없는 폴더");
    EnvironmentValue temp(L"TEMP", profile + L"\\없는 폴더");
    EXPECT_EQ(SpecialFolder(11), "");
}

TEST(WriteFileBytes, WritesThePartsInOrderAndAnEmptyPartTruncates) {
    ScratchFolder scratch;
    Text file = scratch / "data.bin";
    ByteArray first = {'a', 0, 'b'};
    ByteArray second = {0xFF, 0, '\r', '\n'};
    ASSERT_TRUE(WriteFileBytes(file, {first, ByteArray(), second}));
    ByteArray joined = {'a', 0, 'b', 0xFF, 0, '\r', '\n'};
    EXPECT_EQ(Contents(scratch / std::wstring(L"data.bin")), joined);
    EXPECT_EQ(ReadFileBytes(file), joined);

    ASSERT_TRUE(WriteFileBytes(file, ByteArray()));
    EXPECT_TRUE(Contents(scratch / std::wstring(L"data.bin")).empty());
    EXPECT_EQ(FolderEntries(scratch.wide()), Names{L"data.bin"});
}

TEST(WriteFileBytes, ReplacingAFileKeepsTheNameItHasOnDisk) {
    ScratchFolder scratch;
    ASSERT_TRUE(WriteWholeFile(scratch / std::wstring(L"Region.JSON"), "old contents"));
    ASSERT_TRUE(WriteFileBytes(scratch / "region.json", ToBytes("new")));
    EXPECT_EQ(FolderEntries(scratch.wide()), Names{L"Region.JSON"});
    EXPECT_EQ(Contents(scratch / std::wstring(L"Region.JSON")), ToBytes("new"));
}

TEST(WriteFileBytes, IntoAMissingFolderFailsUntilTheFoldersAreCreated) {
    ScratchFolder scratch;
    Text maker = scratch / "Mossgrove";
    Text game = maker + "\\Starfold";
    Text file = game + "\\regionInfo.json";
    EXPECT_FALSE(WriteFileBytes(file, ToBytes("[]")));
    EXPECT_FALSE(CreateFolder(game));
    EXPECT_TRUE(FolderEntries(scratch.wide()).empty());

    EXPECT_TRUE(CreateFolder(maker));
    EXPECT_TRUE(CreateFolder(game));
    EXPECT_FALSE(CreateFolder(game));
    EXPECT_TRUE(FileExists(game));
    ASSERT_TRUE(WriteFileBytes(file, ToBytes("[]")));
    EXPECT_EQ(ReadFileBytes(file), ToBytes("[]"));
    EXPECT_EQ(FolderEntries(WideFromGbk(game)), Names{L"regionInfo.json"});
}

// Each blocked write must fail, keep the old bytes and leave no temporary file.
TEST(WriteFileBytes, ATargetThatCannotBeReplacedStaysAsItWas) {
    ScratchFolder scratch;
    std::wstring target = scratch / std::wstring(L"settings.tallow");
    ASSERT_TRUE(WriteWholeFile(target, "old bytes"));
    auto expectUntouched = [&](const char* situation) {
        EXPECT_EQ(Contents(target), ToBytes("old bytes")) << situation;
        EXPECT_EQ(FolderEntries(scratch.wide()), Names{L"settings.tallow"}) << situation;
    };

    ASSERT_TRUE(SetReadOnly(target, true));
    EXPECT_FALSE(WriteFileBytes(GbkFromWideReplacing(target), ToBytes("new")));
    expectUntouched("read-only");
    EXPECT_TRUE(IsReadOnly(target));
    ASSERT_TRUE(SetReadOnly(target, false));

    for (DWORD sharing : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        {
            HeldFile held(target, GENERIC_READ, sharing);
            ASSERT_TRUE(held.IsOpen());
            EXPECT_FALSE(WriteFileBytes(GbkFromWideReplacing(target), ToBytes("new")));
        }
        expectUntouched(sharing ? "held open with sharing" : "held open without sharing");
    }

    std::wstring folder = scratch / std::wstring(L"folder");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(WriteFileBytes(GbkFromWideReplacing(folder), ToBytes("new")));
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ(FolderEntries(scratch.wide()), (Names{L"folder", L"settings.tallow"}));
    EXPECT_EQ(Contents(target), ToBytes("old bytes"));

    EXPECT_TRUE(WriteFileBytes(GbkFromWideReplacing(target), ToBytes("new")));
    EXPECT_EQ(Contents(target), ToBytes("new"));
}

TEST(ReadFileBytes, MissingEmptyAndLargeFiles) {
    ScratchFolder scratch;
    EXPECT_TRUE(ReadFileBytes(scratch / "missing.json").empty());
    ASSERT_TRUE(WriteWholeFile(scratch / std::wstring(L"empty.json"), ""));
    EXPECT_TRUE(ReadFileBytes(scratch / "empty.json").empty());
    EXPECT_TRUE(ReadFileBytes(scratch.path()).empty());

    ByteArray large(64u << 20);
    for (size_t i = 0; i < large.size(); i++) large[i] = static_cast<unsigned char>((i * 131) ^ (i >> 20));
    ASSERT_TRUE(WriteFileBytes(scratch / "large.bin", large));
    EXPECT_TRUE(ReadFileBytes(scratch / "large.bin") == large);
    EXPECT_TRUE(Contents(scratch / std::wstring(L"large.bin")) == large);
}

TEST(FileExistsAndRemoveFile, FilesAndFoldersAlike) {
    ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectoryW((scratch / std::wstring(L"folder")).c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(scratch / std::wstring(L"file.txt"), "x"));
    EXPECT_TRUE(FileExists(scratch / "folder"));
    EXPECT_TRUE(FileExists(scratch / "file.txt"));
    EXPECT_FALSE(FileExists(scratch / "missing.txt"));

    EXPECT_TRUE(RemoveFile(scratch / "file.txt"));
    EXPECT_FALSE(FileExists(scratch / "file.txt"));
    EXPECT_FALSE(RemoveFile(scratch / "file.txt"));
    EXPECT_FALSE(RemoveFile(scratch / "folder"));
    EXPECT_TRUE(IsFolder(scratch / std::wstring(L"folder")));
}

TEST(FileOperations, ChineseNamesReachTheFileSystemAsTheirCharacters) {
    ScratchFolder scratch;
    Text folder = scratch / "星际游戏";
    Text file = folder + "\\服务器列表.json";
    ASSERT_TRUE(CreateFolder(folder));
    EXPECT_TRUE(IsFolder(scratch / std::wstring(L"星际游戏")));
    ASSERT_TRUE(WriteFileBytes(file, ToBytes("社区服")));
    EXPECT_EQ(Contents(scratch / std::wstring(L"星际游戏\\服务器列表.json")), ToBytes("社区服"));
    EXPECT_EQ(ReadFileBytes(file), ToBytes("社区服"));
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(FolderEntries(WideFromGbk(folder)).empty());
}

// Every path built on an empty SpecialFolder(8) is relative; none of them may
// reach the current folder (the program's own) or the current drive's root.
TEST(FileOperations, RelativeAndEmptyPathsTouchNothing) {
    ScratchFolder scratch;
    std::wstring local = scratch / std::wstring(L"local.txt");
    ASSERT_TRUE(WriteWholeFile(local, "keep"));
    ASSERT_TRUE(CreateDirectoryW((scratch / std::wstring(L"sub")).c_str(), nullptr));
    Text unique = "sf-relative-" + std::to_string(GetCurrentProcessId());
    CurrentFolder current(scratch / std::wstring(L"sub"));

    for (const Text& path : {Text("..\\local.txt"), Text("C:..\\local.txt"), Text(".\\..\\local.txt"), Text()}) {
        EXPECT_TRUE(ReadFileBytes(path).empty()) << path;
        EXPECT_FALSE(FileExists(path)) << path;
        EXPECT_FALSE(WriteFileBytes(path, ToBytes("new"))) << path;
        EXPECT_FALSE(RemoveFile(path)) << path;
    }
    for (const Text& path : {Text("new.txt"), Text("..\\new.txt"), Text("C:new.txt"), "\\" + unique,
                             "..\\LocalLow\\" + unique}) {
        EXPECT_FALSE(WriteFileBytes(path, ToBytes("new"))) << path;
        EXPECT_FALSE(CreateFolder(path)) << path;
    }
    EXPECT_FALSE(CreateFolder(""));
    EXPECT_FALSE(CreateFolder("..\\LocalLow"));

    EXPECT_EQ(FolderEntries(scratch.wide()), (Names{L"local.txt", L"sub"}));
    EXPECT_TRUE(FolderEntries(scratch / std::wstring(L"sub")).empty());
    EXPECT_EQ(Contents(local), ToBytes("keep"));
    EXPECT_FALSE(PathExists(L"C:\\" + WideFromGbk(unique)));
}

// The Linux side as Wine shows it: a folder of links made by CMake, the home
// named by WINEHOMEDIR, and the DOS names of Unix paths.
TEST(UnixSide, LinksShareTheirFoldersIdentityAndUnixPathsHaveDosNames) {
    ASSERT_TRUE(RunsUnderWine());
    const Text links = DosPathFromUnix(STARFOLD_LINKS);
    EXPECT_EQ(links, GbkFromWideReplacing(WindowsPathFromUnix(STARFOLD_LINKS)));
    std::vector<Text> names = SubfolderNames(links);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<Text>{"link", "real", "中文"})) << "no file, loop or name outside GBK";
    ASSERT_TRUE(FolderIdOf(links + "\\real"));
    EXPECT_TRUE(FolderIdOf(links + "\\link") == FolderIdOf(links + "\\real"));
    EXPECT_FALSE(FolderIdOf(links + "\\real\\inner") == FolderIdOf(links + "\\real"));
    // Under Wine a folder is known by its Unix path, links resolved.
    EXPECT_EQ(FolderIdOf(links + "\\link\\inner")->unixPath, STARFOLD_LINKS "/real/inner");
    EXPECT_EQ(FileNames(links), std::vector<Text>{"file.txt"});
    for (const char* none : {"\\loop", "\\file.txt", "\\missing"}) EXPECT_FALSE(FolderIdOf(links + none)) << none;
    EXPECT_EQ(DosPathFromUnix(STARFOLD_LINKS "/中文/missing"), links + "\\中文\\missing");
    EXPECT_EQ(DosPathFromUnix("relative/path"), "");

    const Text home = UnixHomeFolder();
    EXPECT_TRUE(FolderIdOf(home)) << home;
    EXPECT_EQ("\\??\\" + home, EnvironmentVariable("winehomedir") + "\\");
    for (const auto& [named, folder] : {std::pair<const wchar_t*, Text>{L"\\??\\Z:\\home\\玩家", "Z:\\home\\玩家\\"},
                                       {L"\\??\\unix\\home\\deck", ""}, {L"Z:\\home\\deck", ""}}) {
        EnvironmentValue variable(L"WINEHOMEDIR", named);
        EXPECT_EQ(UnixHomeFolder(), folder);
    }
}

TEST(IsAbsolutePath, DriveLettersWithABackslashAndUncSharesOnly) {
    for (const wchar_t* path : {L"C:\\", L"c:\\users", L"\\\\server\\share", L"\\\\server\\share\\x.txt"})
        EXPECT_TRUE(IsAbsolutePath(path)) << GbkFromWideReplacing(path);
    for (const wchar_t* path : {L"", L"x.txt", L"C:", L"C:x.txt", L"C:/x.txt", L"1:\\x", L"\\x.txt", L"\\\\",
                                L"\\\\server", L"\\\\server\\", L"\\\\\\share", L"\\\\server\\\\share"})
        EXPECT_FALSE(IsAbsolutePath(path)) << GbkFromWideReplacing(path);
}

}  // namespace
