// The prefix as the scenarios need it: addresses opened through the shell
// reach the URL recorder, never Wine's own browser.
#include "e2e_paths.h"
#include "fixture_ids.h"
#include "tests/win32/debugged_process.h"
#include "tests/win32/files.h"
#include "tests/win32/waiting.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"
#include "tests/win32/window_reading.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {

bool ProcessRunning(const wchar_t* image) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {sizeof entry};
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, image) == 0;
    CloseHandle(snapshot);
    return found;
}

TEST(AddressHandler, EveryOpenedWebAddressIsAppendedToTheRecordOfTheOpener) {
    const std::wstring folder = std::wstring(STARFOLD_E2E_WORK) + L"\\address-handler";
    ASSERT_TRUE(CreateFolderTree(folder));
    const std::wstring record = folder + L"\\urls.txt";
    DeleteFileW(record.c_str());
    const std::vector<std::wstring> addresses = {L"http://127.0.0.1:1/?page_id=38", L"https://starfold.example/\u6e90?a=1&b=2"};
    for (const std::wstring& address : addresses) {
        DebuggedProcess opener;
        LaunchRequest request{WindowsPathFromUnix(STARFOLD_E2E_FIXTURE_WINDOW), L"--open \"" + address + L"\""};
        request.variables[L"STARFOLD_URL_RECORD"] = record;
        ASSERT_TRUE(opener.Start(request, nullptr));
        HWND window = WaitForTopLevelWindow(opener.ProcessId(), kFixtureClass, kFixtureTitle, kCeilingMs);
        ASSERT_TRUE(window);
        ASSERT_TRUE(PostClick(FindControl(window, kFixtureOpen)));
        ASSERT_TRUE(opener.WaitForDebugLine(L"fixture: opened ", kCeilingMs));
        size_t expected = &address - addresses.data() + 1;
        EXPECT_TRUE(WaitUntil(kCeilingMs, [&] { return ReadLines(record).size() >= expected; }));
        PostClose(window);
        EXPECT_TRUE(opener.WaitForExit(kCeilingMs));
    }
    std::vector<std::string> lines = ReadLines(record);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], Utf8FromWide(addresses[0]));
    EXPECT_EQ(lines[1], Utf8FromWide(addresses[1]));
    EXPECT_FALSE(ProcessRunning(L"winebrowser.exe"));
}

}  // namespace
