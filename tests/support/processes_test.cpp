// Starting processes and opening addresses under Wine, observed through the
// helper programs beside the tests.
#include "support/processes.h"
#include "support/win32/wide_text.h"
#include "tests/win32/files.h"
#include "tests/win32/waiting.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Text Quoted(const std::wstring& path) { return "\"" + GbkFromWideReplacing(path) + "\""; }

Text Probe(const Text& arguments) { return Quoted(ProgramFolder() + L"support_probe.exe") + " " + arguments; }

// The file's bytes once `done` accepts them, or as they are when the time is up.
template <typename Done>
std::string WaitForFile(const std::wstring& path, DWORD timeoutMs, Done done) {
    std::string bytes;
    WaitUntil(timeoutMs, [&] { return done(bytes = ReadWholeFile(path).value_or("")); });
    return bytes;
}

TEST(RunCommand, ShowModesAreClampedAndMapped) {
    ScratchFolder scratch;
    const struct {
        std::optional<int> mode;
        int showCommand;
    } cases[] = {{LeftOut, SW_SHOWNORMAL}, {1, SW_HIDE},           {2, SW_SHOWNORMAL},     {3, SW_SHOWMINIMIZED},
                 {4, SW_SHOWMAXIMIZED},    {5, SW_SHOWNOACTIVATE}, {6, SW_MINIMIZE},       {0, SW_HIDE},
                 {-7, SW_HIDE},            {9, SW_MINIMIZE}};
    for (const auto& c : cases) {
        std::wstring record = scratch / std::wstring(L"show.txt");
        DeleteFileW(record.c_str());
        ASSERT_TRUE(RunCommand(Probe("show-window " + Quoted(record)), true, c.mode));
        EXPECT_EQ(ReadWholeFile(record), "1 " + std::to_string(c.showCommand)) << "mode " << c.mode.value_or(-99);
    }
}

TEST(RunCommand, GivesTheCommandLineAsItStands) {
    ScratchFolder scratch;
    std::wstring record = scratch / std::wstring(L"line.bin");
    Text line = Probe("command-line " + Quoted(record) + " \"带 空格\" 中文 %PATH% /f /im \"Starfold.exe\"");
    ASSERT_TRUE(RunCommand(line, true, kShowHidden));
    std::optional<std::string> bytes = ReadWholeFile(record);
    ASSERT_TRUE(bytes);
    std::wstring seen(bytes->size() / sizeof(wchar_t), L'\0');
    std::memcpy(seen.data(), bytes->data(), seen.size() * sizeof(wchar_t));
    EXPECT_EQ(seen, WideFromGbk(line));
}

TEST(RunCommand, WaitsForTheEndOnlyWhenAsked) {
    ScratchFolder scratch;
    std::wstring first = scratch / std::wstring(L"first.txt");
    DWORD start = GetTickCount();
    ASSERT_TRUE(RunCommand(Probe("sleep 800 " + Quoted(first)), true, kShowHidden));
    EXPECT_GE(GetTickCount() - start, 790u);
    EXPECT_TRUE(PathExists(first));

    // This one never becomes input-idle and runs until it is told to end:
    // RunCommand has come back while it still runs.
    std::wstring release = scratch / std::wstring(L"release.txt");
    std::wstring second = scratch / std::wstring(L"second.txt");
    ASSERT_TRUE(RunCommand(Probe("wait-for " + Quoted(release) + " " + Quoted(second)), false, kShowHidden));
    EXPECT_FALSE(PathExists(second));
    ASSERT_TRUE(WriteWholeFile(release, ""));
    // Let it finish before the scratch folder goes.
    EXPECT_EQ(WaitForFile(second, kCeilingMs, [](const std::string& b) { return !b.empty(); }), "done");
}

TEST(RunCommand, ACommandLineNamingNoProgramFails) {
    ScratchFolder scratch;
    EXPECT_FALSE(RunCommand("", true, kShowHidden));
    EXPECT_FALSE(RunCommand("   ", true, kShowHidden));
    EXPECT_FALSE(RunCommand(Quoted(scratch / std::wstring(L"missing.exe")), true, kShowHidden));
    EXPECT_FALSE(RunCommand(scratch / "missing.exe /f", false, LeftOut));
    // A batch file with its folder missing, as the folder removal would name one.
    EXPECT_FALSE(RunCommand(scratch / "missing\\Speed.bat", true, kShowHidden));
}

TEST(RunCommand, RunsABatchFileThroughTheSystem) {
    ScratchFolder scratch;
    std::wstring batch = scratch / std::wstring(L"清理.bat");
    std::wstring made = scratch / std::wstring(L"made.txt");
    ASSERT_TRUE(WriteWholeFile(batch, "@echo off\r\necho done> \"" + GbkFromWideReplacing(made) + "\"\r\n"));
    ASSERT_TRUE(RunCommand(GbkFromWideReplacing(batch), true, kShowHidden));
    EXPECT_TRUE(PathExists(made));
}

// Registers the recorder as the handler of a scheme of its own for this test:
// in the user's classes, and in the machine's where this Wine does not merge
// the user's classes into HKEY_CLASSES_ROOT.
class RecorderScheme {
public:
    RecorderScheme() {
        std::wstring command = L"\"" + ProgramFolder() + L"..\\tools\\url_recorder.exe\" \"%1\"";
        Register(HKEY_CURRENT_USER, L"Software\\Classes\\" + kScheme, command);
        HKEY merged = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kScheme.c_str(), 0, KEY_READ, &merged) == ERROR_SUCCESS) {
            RegCloseKey(merged);
        } else {
            Register(HKEY_CLASSES_ROOT, kScheme, command);
            machineWide_ = true;
        }
    }
    ~RecorderScheme() {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + kScheme).c_str());
        if (machineWide_) RegDeleteTreeW(HKEY_CLASSES_ROOT, kScheme.c_str());
    }

private:
    const std::wstring kScheme = L"starfold-probe";
    bool machineWide_ = false;

    static void Register(HKEY root, const std::wstring& key, const std::wstring& command) {
        SetValue(root, key, L"", L"URL:Starfold probe");
        SetValue(root, key, L"URL Protocol", L"");
        SetValue(root, key + L"\\shell\\open\\command", L"", command);
    }
    static void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
        const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(), size), ERROR_SUCCESS);
    }
};

size_t LineCount(const std::string& bytes) { return std::count(bytes.begin(), bytes.end(), '\n'); }

TEST(OpenUrl, HandsTheAddressToTheRegisteredHandler) {
    ScratchFolder scratch;
    std::wstring record = scratch / std::wstring(L"urls.txt");
    EnvironmentValue recordFile(L"STARFOLD_URL_RECORD", record);
    RecorderScheme scheme;

    OpenUrl(Text("starfold-probe://127.0.0.1/?page_id=38"));
    std::string lines = WaitForFile(record, kCeilingMs, [](const std::string& b) { return LineCount(b) >= 1; });
    EXPECT_EQ(lines, "starfold-probe://127.0.0.1/?page_id=38\n");

    OpenUrl(Text("starfold-probe://社区/公告"));
    lines = WaitForFile(record, kCeilingMs, [](const std::string& b) { return LineCount(b) >= 2; });
    EXPECT_EQ(lines, u8"starfold-probe://127.0.0.1/?page_id=38\nstarfold-probe://社区/公告\n");
}

}  // namespace
