// The delay-import libraries the installer links: each DLL stays unloaded
// until its first function is called, and the call then works.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>
#include <shlobj.h>
#include <wininet.h>

namespace {

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
