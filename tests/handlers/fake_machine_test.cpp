// The fakes behave as Windows does where the handlers' tests rely on it.
#include "support/direct_calls.h"
#include "support/files.h"
#include "tests/handlers/handler_fixture.h"

namespace {

using FakeMachineTest = HandlerTest;

TEST_F(FakeMachineTest, PathsResolveDotDotCaseAndTrailingBackslash) {
    Text appData = FakeMachine::kAppData;
    machine.AddFolder(appData + "..\\LocalLow\\Mossgrove");
    EXPECT_TRUE(machine.HasFolder("c:\\USERS\\玩家\\appdata\\locallow\\mossgrove\\"));
    EXPECT_TRUE(FileExists(appData + "..\\LocalLow\\Mossgrove"));
    EXPECT_FALSE(FileExists(appData + "..\\LocalLow\\Mossgrove\\"));
    EXPECT_EQ(FakeMachine::Resolve("relative\\path"), "");
}

TEST_F(FakeMachineTest, WritesNeedTheParentFolderAndAnAbsolutePath) {
    Text file = kGameFolder + "\\regionInfo.json";
    EXPECT_FALSE(WriteFileBytes(file, ToBytes("x")));
    EXPECT_FALSE(CreateFolder(kGameFolder));
    EXPECT_TRUE(CreateFolder(Text(FakeMachine::kAppData) + "..\\LocalLow"));
    EXPECT_FALSE(CreateFolder(Text(FakeMachine::kAppData) + "..\\LocalLow"));
    EXPECT_TRUE(CreateFolder(Text(FakeMachine::kAppData) + "..\\LocalLow\\Mossgrove\\"));
    EXPECT_TRUE(CreateFolder(kGameFolder));
    EXPECT_TRUE(WriteFileBytes(file, {ToBytes("a"), ToBytes("b")}));
    EXPECT_EQ(ReadFileBytes(file), ToBytes("ab"));
    EXPECT_FALSE(WriteFileBytes("regionInfo.json", ToBytes("x")));
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(RemoveFile(file));
}

TEST_F(FakeMachineTest, BatchFilesExpandPercentAsCmdDoes) {
    machine.environment["TEMP"] = "C:\\users\\玩家\\Temp";
    machine.AddFile("C:\\games\\a%TEMP%b\\keep.txt", ToBytes("k"));
    machine.AddFile("C:\\users\\玩家\\Temp\\x.txt", ToBytes("x"));
    machine.AddFile("C:\\t\\Speed.bat", ToBytes("Rd /s /q \"%TEMP%\\\"\r\nDel /f /q \"C:\\t\\Speed.bat\""));
    machine.RunBatchFile("C:\\t\\Speed.bat");
    // Expanded, the line names the temporary folder instead.
    EXPECT_FALSE(machine.HasFolder("C:\\users\\玩家\\Temp"));
    EXPECT_TRUE(machine.HasFile("C:\\games\\a%TEMP%b\\keep.txt"));
    EXPECT_FALSE(machine.HasFile("C:\\t\\Speed.bat"));

    machine.AddFile("C:\\t\\Speed.bat", ToBytes("Rd /s /q \"C:\\games\\a%%TEMP%%b\\\""));
    machine.RunBatchFile("C:\\t\\Speed.bat");
    EXPECT_FALSE(machine.HasFolder("C:\\games\\a%TEMP%b"));
}

TEST_F(FakeMachineTest, TempPathCallFollowsTheBufferRules) {
    ByteArray buffer = ToBytes(SpaceText(255));
    EXPECT_EQ(CallGetTempPath(255, buffer), Text(FakeMachine::kTemp).size());
    EXPECT_EQ(ToText(buffer), FakeMachine::kTemp);
    machine.tempPath = "C:\\" + Text(300, 'x') + "\\";
    buffer = ToBytes(SpaceText(255));
    EXPECT_GT(CallGetTempPath(255, buffer), 255u);
    EXPECT_EQ(ToText(buffer), SpaceText(255));
    machine.tempPathCallFails = true;
    EXPECT_EQ(CallGetTempPath(255, buffer), 0u);
}

}  // namespace
