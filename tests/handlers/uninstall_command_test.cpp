// The uninstall command: only what the installer's record says it did is
// undone, and the message says what that was.
#include "install/uninstall_command.h"
#include "tests/handlers/install_fixture.h"

namespace {

class UninstallCommandTest : public InstallTest {
protected:
    const Text kNothingInstalled = "未曾安装社区服列表，无需卸载。";
};

TEST_F(UninstallCommandTest, UndoesOnlyWhatWasInstalledAndASecondUninstallChangesNothing) {
    const Text settings = kGameFolder + "\\settings.tallow";
    machine.AddFile(settings, Bytes("{}"));
    const std::map<Text, ByteArray> before = machine.files;
    UninstallCommand();
    ExpectOnlyMessage(kNothingInstalled, 48, "卸载结果：");
    EXPECT_EQ(machine.files, before);
    EXPECT_TRUE(window.writes.empty());

    Install();
    UninstallCommand();
    ExpectMessage(2, "卸载成功，已恢复安装前的社区服列表。", 48, "卸载结果：");
    UninstallCommand();
    ExpectMessage(3, kNothingInstalled, 48, "卸载结果：");
    EXPECT_EQ(machine.files, before);
    EXPECT_TRUE(machine.HasFolder(kGameFolder));

    // Over no region file: the list goes, and again only once.
    machine.files.erase(FakeMachine::Resolve(kRegionPath));
    Install();
    UninstallCommand();
    UninstallCommand();
    ExpectMessage(5, "卸载成功。", 48, "卸载结果：");
    EXPECT_EQ(Bytes(machine.msgBoxes[5].message), (ByteArray{0xD0, 0xB6, 0xD4, 0xD8, 0xB3, 0xC9, 0xB9, 0xA6, 0xA1, 0xA3}));
    ExpectMessage(6, kNothingInstalled, 48, "卸载结果：");
    EXPECT_FALSE(machine.HasFile(kRegionPath));
    EXPECT_EQ(machine.FileBytes(settings), Bytes("{}"));
}

// A file that cannot be deleted, or a kept copy that cannot be put back:
// the failure is reported and every file stays as it was.
TEST_F(UninstallCommandTest, WhatCannotBeUndoneIsReportedAndStays) {
    for (auto blocks : {&FakeMachine::undeletable, &FakeMachine::unreadable, &FakeMachine::unwritable}) {
        SetUp();
        if (blocks == &FakeMachine::undeletable) machine.files.erase(FakeMachine::Resolve(kRegionPath));
        Install();
        (machine.*blocks).insert(FakeMachine::Resolve(blocks == &FakeMachine::unreadable ? kCopyPath : kRegionPath));
        const std::map<Text, ByteArray> before = machine.files;
        UninstallCommand();
        ExpectMessage(1, "卸载失败，请检查权限或未曾安装。", 16, "卸载结果：");
        EXPECT_EQ(machine.files, before);
    }
}

// An earlier version kept a copy and no record: the copy is put back as it
// did. Without a record that the program can read, a region file is never
// taken for one it wrote.
TEST_F(UninstallCommandTest, AnEarlierVersionsCopyIsPutBackAndNoFileIsDeletedWithoutARecord) {
    machine.AddFile(kCopyPath, kOldRegion);
    machine.AddFile(kRegionPath, kList);
    UninstallCommand();
    ExpectOnlyMessage("卸载成功，已恢复安装前的社区服列表。", 48, "卸载结果：");
    EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    EXPECT_FALSE(machine.HasFile(kCopyPath));

    for (const Text& record : {Text("garbage"), Text("StarfoldCommunityInstaller 1 installed none 0 1\r\n\r\n"), Text()}) {
        SetUp();
        machine.AddFile(kRecordPath, Bytes(record));
        UninstallCommand();
        ExpectOnlyMessage(kNothingInstalled, 48, "卸载结果：");
        EXPECT_EQ(machine.FileBytes(kRegionPath), kOldRegion);
    }
}

}  // namespace
