// The uninstall command: only regionInfo.json goes, and the message says whether it did.
#include "install/uninstall_command.h"
#include "tests/handlers/install_fixture.h"

namespace {

class UninstallCommandTest : public InstallTest {};

TEST_F(UninstallCommandTest, FirstUninstallSucceedsAndTheSecondFails) {
    const Text settings = kGameFolder + "\\settings.tallow";
    machine.AddFile(settings, Bytes("{}"));
    UninstallCommand();
    UninstallCommand();
    ASSERT_EQ(machine.msgBoxes.size(), 2u);
    ExpectMessage(0, "卸载成功。", 48, "卸载结果：");
    EXPECT_EQ(Bytes(machine.msgBoxes[0].message), (ByteArray{0xD0, 0xB6, 0xD4, 0xD8, 0xB3, 0xC9, 0xB9, 0xA6, 0xA1, 0xA3}));
    ExpectMessage(1, "卸载失败，请检查权限或未曾安装。", 16, "卸载结果：");
    EXPECT_EQ(LogOf("RemoveFile"), std::vector<std::string>(2, "RemoveFile " + kRegionPath));
    // Everything else stays, and the button is never touched.
    EXPECT_FALSE(machine.HasFile(kRegionPath));
    EXPECT_TRUE(machine.HasFile(settings));
    EXPECT_TRUE(machine.HasFolder(kGameFolder));
    EXPECT_EQ(machine.FileBytes(kConfigPath), Bytes(kOldConfig));
    EXPECT_TRUE(window.writes.empty());
}

// A file that cannot be deleted, or a kept copy that cannot be put back:
// the failure is reported and every file stays as it was.
TEST_F(UninstallCommandTest, WhatCannotBeUndoneIsReportedAndStays) {
    const Text kCopy = kRegionPath + ".bak";
    for (auto blocks : {&FakeMachine::undeletable, &FakeMachine::unreadable, &FakeMachine::unwritable}) {
        SetUp();
        if (blocks != &FakeMachine::undeletable) machine.AddFile(kCopy, Bytes("{\"Regions\":[{\"Name\":\"own\"}]}"));
        (machine.*blocks).insert(FakeMachine::Resolve(blocks == &FakeMachine::unreadable ? kCopy : kRegionPath));
        const std::map<Text, ByteArray> before = machine.files;
        UninstallCommand();
        ExpectOnlyMessage("卸载失败，请检查权限或未曾安装。", 16, "卸载结果：");
        EXPECT_EQ(machine.files, before);
    }
}

TEST_F(UninstallCommandTest, InstallAfterUninstallWritesTheFileAgain) {
    UninstallCommand();
    Install();
    EXPECT_EQ(machine.FileBytes(kRegionPath), kList);
    EXPECT_EQ(LogOf("WriteFileBytes").size(), 1u);
}

}  // namespace
