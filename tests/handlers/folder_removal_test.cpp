// Removing a folder through Speed.bat: the batch file's bytes, cmd's "%"
// expansion, the quoting, and when nothing may run.
#include "startup/folder_removal.h"
#include "tests/handlers/handler_fixture.h"

namespace {

class FolderRemovalTest : public HandlerTest {
protected:
    // The batch file as RemoveFolderByBatch wrote it, caught before it runs.
    Text BatchFor(const Text& folder) {
        Text script;
        machine.onRunCommand = [&](const RunCommandCall& call) {
            script = ToText(machine.FileBytes(BatchPathOf(call.commandLine)));
            return true;
        };
        RemoveFolderByBatch(folder);
        return script;
    }
};

TEST_F(FolderRemovalTest, BatchFileIsTheTemplateWithBothPathsWithOrWithoutTrailingBackslash) {
    machine.AddFolder("C:\\games\\Unity");
    Text expected = "Rd /s /q \"C:\\games\\Unity\\\"\r\nDel /f /q \"C:\\users\\玩家\\Temp\\Speed.bat\"";
    EXPECT_EQ(BatchFor("C:\\games\\Unity"), expected);
    EXPECT_EQ(BatchFor("C:\\games\\Unity\\"), expected);
    ASSERT_EQ(machine.commands.size(), 2u);
    EXPECT_EQ(machine.commands[0].commandLine, CmdRunning(kBatchPath));
    EXPECT_EQ(machine.commands[0].waitForExit, std::optional<bool>(true));
    EXPECT_EQ(machine.commands[0].showMode, std::optional<int>(1));
    EXPECT_EQ(std::vector<std::string>(machine.log.begin(), machine.log.begin() + 4),
              (std::vector<std::string>{"FileExists C:\\games\\Unity", "GetTempPath", "WriteFileBytes " + kBatchPath,
                                        "RunCommand " + CmdRunning(kBatchPath)}));
}

TEST_F(FolderRemovalTest, ChineseFolderIsWrittenInGbk) {
    machine.AddFolder("C:\\玩家\\Unity");
    const Text player = "\xCD\xE6\xBC\xD2";  // 玩家, spelt as its GBK bytes
    EXPECT_EQ(Bytes(BatchFor("C:\\玩家\\Unity")),
              Bytes("Rd /s /q \"C:\\" + player + "\\Unity\\\"\r\nDel /f /q \"C:\\users\\" + player + "\\Temp\\Speed.bat\""));
}

TEST_F(FolderRemovalTest, FolderGoesAndTheBatchFileDeletesItself) {
    machine.AddFile("C:\\Program Files\\My Unity\\cache\\a.bin", Bytes("a"));
    machine.AddFile("C:\\Program Files\\My Unity Other\\keep.bin", Bytes("k"));
    machine.tempPath = "C:\\Documents and Settings\\玩家\\Local Temp\\";
    machine.AddFolder(machine.tempPath);
    RunBatchFilesWhenStarted();
    RemoveFolderByBatch("C:\\Program Files\\My Unity");
    EXPECT_FALSE(machine.HasFolder("C:\\Program Files\\My Unity"));
    EXPECT_TRUE(machine.HasFile("C:\\Program Files\\My Unity Other\\keep.bin"));
    EXPECT_FALSE(machine.HasFile(machine.tempPath + "Speed.bat"));
    // Quoted: unquoted, cmd would try to start C:\Documents.
    EXPECT_EQ(machine.commands.at(0).commandLine, CmdRunning("C:\\Documents and Settings\\玩家\\Local Temp\\Speed.bat"));
}

TEST_F(FolderRemovalTest, PercentInEitherPathIsDoubledSoOnlyThatFolderGoes) {
    // Undoubled, cmd would read "%b%" as an unset variable and remove C:\games\a\Unity.
    machine.AddFile("C:\\games\\a%b%\\Unity\\x.bin", Bytes("x"));
    machine.AddFile("C:\\games\\a\\Unity\\save.dat", Bytes("s"));
    machine.tempPath = "C:\\tmp%TEMP%\\";
    machine.environment["TEMP"] = "C:\\users\\玩家\\Temp";
    machine.AddFolder(machine.tempPath);
    Text script = BatchFor("C:\\games\\a%b%\\Unity");
    EXPECT_EQ(script, "Rd /s /q \"C:\\games\\a%%b%%\\Unity\\\"\r\nDel /f /q \"C:\\tmp%%TEMP%%\\Speed.bat\"");
    // On the command line "%%" would not do: cmd would run C:\users\玩家\Temp\Speed.bat.
    EXPECT_EQ(machine.commands.at(0).commandLine, CmdRunning("C:\\tmp%%cd:~,%TEMP%%cd:~,%\\Speed.bat"));

    machine.AddFile("C:\\t\\undoubled.bat", Bytes(ReplaceSubtext(script, "%%", Text("%"), LeftOut, LeftOut, true)));
    machine.RunBatchFile("C:\\t\\undoubled.bat");
    EXPECT_FALSE(machine.HasFolder("C:\\games\\a\\Unity"));
    EXPECT_TRUE(machine.HasFile("C:\\games\\a%b%\\Unity\\x.bin"));
    EXPECT_TRUE(machine.HasFile("C:\\tmp%TEMP%\\Speed.bat"));

    machine.AddFile("C:\\games\\a\\Unity\\save.dat", Bytes("s"));
    machine.RunBatchFile("C:\\tmp%TEMP%\\Speed.bat");
    EXPECT_FALSE(machine.HasFolder("C:\\games\\a%b%\\Unity"));
    EXPECT_TRUE(machine.HasFolder("C:\\games\\a%b%"));
    EXPECT_TRUE(machine.HasFile("C:\\games\\a\\Unity\\save.dat"));
    EXPECT_FALSE(machine.HasFile("C:\\tmp%TEMP%\\Speed.bat"));
}

TEST_F(FolderRemovalTest, NothingIsRunWithoutTheFolderATemporaryFolderOrAWrittenBatchFile) {
    machine.AddFolder("C:\\games\\Unity");
    auto expectNothingRun = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(LogOf("WriteFileBytes").empty());
        EXPECT_TRUE(machine.commands.empty());
        EXPECT_TRUE(machine.HasFolder("C:\\games\\Unity"));
        machine.log.clear();
    };
    RemoveFolderByBatch("C:\\games\\Missing");
    EXPECT_TRUE(LogOf("GetTempPath").empty());
    expectNothingRun("folder missing");
    machine.tempPathCallFails = true;
    RemoveFolderByBatch("C:\\games\\Unity");
    expectNothingRun("call fails");
    machine.tempPathCallFails = false;
    machine.tempPath = "C:\\" + Text(251, 't') + "\\";  // 255 bytes: no room for the terminator
    RemoveFolderByBatch("C:\\games\\Unity");
    expectNothingRun("path too long");
    machine.tempPath = FakeMachine::kTemp;
    machine.specialFolders.erase(10);
    RemoveFolderByBatch("C:\\games\\Unity");
    expectNothingRun("no system folder, so no cmd to name");
    machine.specialFolders[10] = kSystemFolder;
    // Another program's read-only Speed.bat stays, and is not run in place of ours.
    machine.AddFile(kBatchPath, Bytes("foreign"));
    machine.unwritable.insert(FakeMachine::Resolve(kBatchPath));
    RemoveFolderByBatch("C:\\games\\Unity");
    EXPECT_TRUE(machine.commands.empty());
    EXPECT_EQ(machine.FileBytes(kBatchPath), Bytes("foreign"));
    EXPECT_TRUE(machine.HasFolder("C:\\games\\Unity"));
    machine.log.clear();

    machine.tempPath = "C:\\" + Text(250, 't') + "\\";  // 254 bytes fit
    machine.AddFolder(machine.tempPath);
    RemoveFolderByBatch("C:\\games\\Unity");
    EXPECT_EQ(LogOf("WriteFileBytes"), std::vector<std::string>{"WriteFileBytes " + machine.tempPath + "Speed.bat"});
}

// On a console whose code page lacks Chinese, such a path is named by its
// short form; where it has none, nothing is written or run.
TEST_F(FolderRemovalTest, PathsTheConsoleCannotReadAreNamedByTheirShortForms) {
    machine.consoleLacks = {"玩家"};
    machine.AddFolder("C:\\玩家\\Unity");
    machine.shortPaths[FakeMachine::Resolve("C:\\玩家\\Unity")] = "C:\\WJ~1\\Unity";
    machine.shortPaths[FakeMachine::Resolve(FakeMachine::kTemp)] = "C:\\users\\WJ~1\\Temp";
    EXPECT_EQ(BatchFor("C:\\玩家\\Unity"), "Rd /s /q \"C:\\WJ~1\\Unity\\\"\r\nDel /f /q \"C:\\users\\WJ~1\\Temp\\Speed.bat\"");
    EXPECT_EQ(machine.commands.at(0).commandLine, CmdRunning(kBatchPath));

    machine.shortPaths.erase(FakeMachine::Resolve("C:\\玩家\\Unity"));
    machine.log.clear();
    RemoveFolderByBatch("C:\\玩家\\Unity");
    EXPECT_TRUE(LogOf("WriteFileBytes").empty());
    EXPECT_EQ(machine.commands.size(), 1u);
    EXPECT_TRUE(machine.HasFolder("C:\\玩家\\Unity"));
}

TEST_F(FolderRemovalTest, SmallRoutinesFollowWindowsRules) {
    machine.AddFile("C:\\games\\file", Bytes("f"));
    EXPECT_TRUE(FolderExists("C:\\games\\"));
    EXPECT_TRUE(FolderExists("C:\\games"));
    EXPECT_TRUE(FolderExists("C:\\games\\file"));  // a file of that name counts
    EXPECT_FALSE(FolderExists("C:\\games\\none\\"));
    EXPECT_EQ(TempFolderPath(), FakeMachine::kTemp);
}

}  // namespace
