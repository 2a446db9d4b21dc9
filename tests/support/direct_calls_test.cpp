// The two direct Windows calls and the run-time error report under Wine.
#include "support/direct_calls.h"
#include "support/runtime_error.h"
#include "support/win32/dll_binding.h"
#include "support/win32/wide_text.h"
#include "tests/win32/debugged_process.h"
#include "tests/win32/files.h"
#include "tests/win32/message_boxes.h"
#include "tests/win32/waiting.h"

#include <gtest/gtest.h>

namespace {

std::wstring WindowsTempPath() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

TEST(CallGetTempPath, FillsTheBufferOrGivesTheLengthItNeeds) {
    ByteArray buffer = ToBytes(SpaceText(255));
    unsigned length = CallGetTempPath(255, buffer);
    Text expected = GbkFromWideReplacing(WindowsTempPath());
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(length, expected.size());
    EXPECT_EQ(ToText(buffer), expected);
    EXPECT_EQ(buffer[length], 0);
    EXPECT_EQ(buffer[length + 1], ' ');

    ByteArray small = ToBytes(SpaceText(5));
    EXPECT_EQ(CallGetTempPath(5, small), expected.size() + 1);
    EXPECT_EQ(small, ToBytes(SpaceText(5)));
    // The length passed in may not exceed the buffer that is really there.
    EXPECT_EQ(CallGetTempPath(255, small), expected.size() + 1);
    EXPECT_EQ(small, ToBytes(SpaceText(5)));
    ByteArray exact = ToBytes(SpaceText(static_cast<int>(expected.size())));
    EXPECT_EQ(CallGetTempPath(static_cast<unsigned>(exact.size()), exact), expected.size() + 1);
}

TEST(CallGetTempPath, AFolderOutsideGbkGivesItsShortFormOrFails) {
    ScratchFolder scratch;
    std::wstring folder = scratch / std::wstring(L"임시 폴더");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    {
        EnvironmentValue tmp(L"TMP", folder);
        EnvironmentValue temp(L"TEMP", folder);
        ByteArray buffer = ToBytes(SpaceText(255));
        unsigned length = CallGetTempPath(255, buffer);
        Text path = ToText(buffer);
        ASSERT_GT(length, 0u);
        EXPECT_EQ(path.size(), length);
        EXPECT_EQ(path.find('?'), Text::npos) << path;
        EXPECT_EQ(LongPath(WideFromGbk(path)), folder + L"\\") << path;
    }
    EnvironmentValue tmp(L"TMP", folder + L"\\없음");
    EnvironmentValue temp(L"TEMP", folder + L"\\없음");
    ByteArray buffer = ToBytes(SpaceText(255));
    EXPECT_EQ(CallGetTempPath(255, buffer), 0u);
    EXPECT_EQ(buffer, ToBytes(SpaceText(255)));
}

TEST(DllBinding, BindsByLibraryFileAndFunctionNameOnce) {
    DllEntry entry = {"kernel32.dll", "GetTempPathW", nullptr};
    void* address = BindDllEntry(entry);
    EXPECT_EQ(address, reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPathW")));
    EXPECT_EQ(entry.address, address);
    EXPECT_EQ(BindDllEntry(entry), address);
}

struct ProbeOutcome {
    std::optional<MessageBoxState> box;
    std::optional<DWORD> exitCode;
};

// Runs the probe, answers its error box with OK if one appears, and waits for its end.
ProbeOutcome RunProbe(const wchar_t* command) {
    DebuggedProcess probe;
    ProbeOutcome outcome;
    EXPECT_TRUE(probe.Start({ProgramFolder() + L"support_probe.exe", command}, nullptr));
    WaitUntil(kCeilingMs, [&] { return (outcome.box = WaitForMessageBox(probe.ProcessId(), 0, {}, IconCheck::Skip)) || probe.HasExited(); });
    if (outcome.box) AnswerMessageBox(*outcome.box, IDOK);
    EXPECT_TRUE(probe.WaitForExit(kCeilingMs));
    outcome.exitCode = probe.ExitCode();
    return outcome;
}

void ExpectReport(const ProbeOutcome& outcome, const Text& text) {
    ASSERT_TRUE(outcome.box);
    EXPECT_EQ(outcome.box->caption, L"错误");
    EXPECT_EQ(outcome.box->text, WideFromGbk(text));
    EXPECT_EQ(outcome.box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
}

TEST(DirectCallReport, AMissingLibraryOrFunctionEndsTheProcessAfterTheBox) {
    ExpectReport(RunProbe(L"missing-library"),
                 RuntimeErrorText(LeftOut, Text("无法找到指定DLL库文件“starfold-missing.dll”中的输出命令“GetTempPathW”")));
    ExpectReport(RunProbe(L"missing-function"),
                 RuntimeErrorText(LeftOut, Text("无法找到指定DLL库文件“kernel32.dll”中的输出命令“StarfoldMissingCommand”")));
}

TEST(DirectCallReport, AStackThatMovedAcrossTheCallIsError6) {
    ExpectReport(RunProbe(L"unbalanced-call"), RuntimeErrorText(6, Text("调用DLL命令后发现堆栈错误")));
    ProbeOutcome balanced = RunProbe(L"balanced-call");
    EXPECT_FALSE(balanced.box);
    EXPECT_EQ(balanced.exitCode, 42u);
}

}  // namespace
