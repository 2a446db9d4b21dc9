// The installer's program file carries its version, manifest, icon and hand
// pointer, read back as Windows reads them; and the delay-import libraries it
// links, seen in this program, which is linked with them too.
#include "app/resource_ids.h"
#include "tests/win32/files.h"

#include <gtest/gtest.h>
#include <oleauto.h>
#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <vector>

namespace {

std::wstring ProgramFile() {
    std::string relative = STARFOLD_PROGRAM_FILE;
    return ProgramFolder() + std::wstring(relative.begin(), relative.end());
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"";
    return value;
}

TEST(ProgramFileTest, VersionResourceSays1_2024_9_23) {
    std::wstring program = ProgramFile();
    DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2024, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(23, 9));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2024, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(23, 9));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.2024.9.23");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.2024.9.23");
}

TEST(ProgramFileTest, ManifestAsksForCommonControls6AsInvoker) {
    HMODULE module = LoadLibraryExW(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::string manifest(data, SizeofResource(module, found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);

    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(STARFOLD_ICON), MAKEINTRESOURCEW(14)), nullptr)  // RT_GROUP_ICON
        << "the application icon";
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(STARFOLD_HAND_CURSOR), MAKEINTRESOURCEW(12)),
              nullptr)  // RT_GROUP_CURSOR
        << "the hand pointer";
    FreeLibrary(module);
}

// Each DLL stays unloaded until its first function is called, and the call then works.
TEST(DelayImportTest, LibrariesLoadAtTheirFirstCallAndWork) {
    EXPECT_EQ(GetModuleHandleW(L"wininet.dll"), nullptr);
    HINTERNET session = InternetOpenW(L"probe", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(InternetCloseHandle(session));
    EXPECT_NE(GetModuleHandleW(L"wininet.dll"), nullptr);

    wchar_t folder[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE));
    EXPECT_NE(wcsstr(folder, L"\\"), nullptr);

    BSTR text = SysAllocString(L"\u5b89\u88c5");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 2u);
    SysFreeString(text);
}

}  // namespace
