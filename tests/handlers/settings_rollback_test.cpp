// The settings rollback and its built-in settings file.
#include "startup/settings_rollback.h"
#include "tests/handlers/handler_fixture.h"

#include <cstdint>

namespace {

// How often the piece stands in the text, overlapping places counted.
size_t Occurrences(const Text& text, const Text& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != Text::npos; at = text.find(piece, at + 1)) count++;
    return count;
}

uint64_t Fnv1a64(const ByteArray& bytes) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3u;
    return hash;
}

class SettingsRollbackTest : public HandlerTest {
protected:
    const Text kUnity = Text(FakeMachine::kAppData) + "..\\LocalLow\\Unity";
    const Text kSettings = kGameFolder + "\\settings.tallow";

    void SetUp() override {
        HandlerTest::SetUp();
        machine.AddFile(kUnity + "\\Analytics\\values", Bytes("v"));
        machine.AddFile(kSettings, Bytes("{\"dataVersion\": 3}"));
        RunBatchFilesWhenStarted();
    }
};

TEST(SettingsTemplate, IsTheOldFormatByteForByte) {
    const ByteArray& bytes = SettingsTemplate();
    EXPECT_EQ(bytes.size(), 1447u);
    Text text(bytes.begin(), bytes.end());
    EXPECT_EQ(Occurrences(text, "\r\n"), 50u);  // 51 lines
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 50);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 50);
    EXPECT_EQ(text.substr(0, 3), "{\r\n");
    EXPECT_EQ(text.back(), '}');
    // Twelve characters of three UTF-8 bytes each, "新手" three times.
    EXPECT_EQ(std::count_if(bytes.begin(), bytes.end(), [](unsigned char b) { return b >= 0xE0; }), 12);
    EXPECT_EQ(std::count_if(bytes.begin(), bytes.end(), [](unsigned char b) { return b >= 0x80; }), 36);
    EXPECT_EQ(Occurrences(text, u8"\"新手\""), 3u);
    EXPECT_EQ(Fnv1a64(bytes), 0x4cc3b5725bb2b08au);
}

TEST_F(SettingsRollbackTest, CancelTouchesNothing) {
    machine.msgBoxAnswers = {kMsgBoxCancel};
    SettingsRollback();
    // OK and Cancel with the warning icon, Cancel the default.
    ExpectOnlyMessage("是否需要帮您载入旧版数据配置，\r\n方便您游玩2024.6.18版本以下的模组？", 0x131, "数据版本回退");
    EXPECT_EQ(machine.log, std::vector<std::string>{"MsgBox 数据版本回退"});
    EXPECT_TRUE(machine.HasFolder(kUnity));
    EXPECT_EQ(machine.FileBytes(kSettings), Bytes("{\"dataVersion\": 3}"));
}

TEST_F(SettingsRollbackTest, OkRemovesUnityThenKeepsACopyAndReplacesTheSettingsFile) {
    SettingsRollback();
    EXPECT_FALSE(machine.HasFolder(kUnity));
    EXPECT_EQ(machine.FileBytes(kSettings), SettingsTemplate());
    EXPECT_FALSE(machine.HasFile(kBatchPath));
    EXPECT_EQ(machine.log, (std::vector<std::string>{
                               "MsgBox 数据版本回退", "FileExists " + kUnity, "GetTempPath", "WriteFileBytes " + kBatchPath,
                               "RunCommand " + CmdRunning(kBatchPath),
                               "cmd: Rd " + FakeMachine::Resolve(kUnity),
                               "cmd: Del " + FakeMachine::Resolve(kBatchPath), "FileExists " + kSettings,
                               "FileExists " + kSettings + ".bak", "ReadFileBytes " + kSettings, "WriteFileBytes " + kSettings + ".bak",
                               "WriteFileBytes " + kSettings}));
    EXPECT_EQ(machine.msgBoxes.size(), 1u);

    // The game saves its settings again; a second OK writes the template
    // again, and the copy keeps the player's own settings.
    machine.AddFile(kSettings, Bytes("{\"dataVersion\": 1, \"saved\": true}"));
    SettingsRollback();
    EXPECT_EQ(machine.FileBytes(kSettings), SettingsTemplate());
    EXPECT_EQ(machine.FileBytes(kSettings + ".bak"), Bytes("{\"dataVersion\": 3}"));

    // A settings file that cannot be replaced stays as it was.
    machine.AddFile(kSettings, Bytes("{\"dataVersion\": 1}"));
    machine.unwritable.insert(FakeMachine::Resolve(kSettings));
    SettingsRollback();
    EXPECT_EQ(machine.FileBytes(kSettings), Bytes("{\"dataVersion\": 1}"));
}

TEST_F(SettingsRollbackTest, WithoutACopyOfThePlayersSettingsTheyStay) {
    for (bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "the settings cannot be read" : "the copy cannot be written");
        SetUp();
        if (unreadable) {
            machine.unreadable.insert(FakeMachine::Resolve(kSettings));
        } else {
            machine.unwritable.insert(FakeMachine::Resolve(kSettings + ".bak"));
        }
        SettingsRollback();
        EXPECT_EQ(machine.FileBytes(kSettings), Bytes("{\"dataVersion\": 3}"));
        EXPECT_FALSE(machine.HasFile(kSettings + ".bak"));
        EXPECT_EQ(LogOf("WriteFileBytes " + kSettings).size(), unreadable ? 0u : 1u) << "only the copy was tried";
        EXPECT_EQ(machine.msgBoxes.size(), 1u);
    }
}

TEST_F(SettingsRollbackTest, WithoutUnityNoBatchRunsAndTheSettingsAreStillWritten) {
    machine.RemoveTree(kUnity);
    machine.files.clear();
    SettingsRollback();
    EXPECT_TRUE(machine.commands.empty());
    EXPECT_EQ(LogOf("WriteFileBytes"), std::vector<std::string>{"WriteFileBytes " + kSettings});
    EXPECT_EQ(machine.FileBytes(kSettings), SettingsTemplate());
}

TEST_F(SettingsRollbackTest, WithoutTheGameFolderUnityGoesAndNoSettingsFileAppears) {
    machine.RemoveTree(kGameFolder);
    SettingsRollback();
    EXPECT_FALSE(machine.HasFolder(kUnity));
    EXPECT_FALSE(machine.HasFile(kSettings));
    EXPECT_FALSE(machine.HasFolder(kGameFolder));
    EXPECT_EQ(machine.msgBoxes.size(), 1u);
}

TEST_F(SettingsRollbackTest, WithoutTheApplicationDataFolderNothingIsTouched) {
    // The paths would be relative: cmd and DeleteFile would act beside the installer.
    machine.specialFolders.erase(8);
    SettingsRollback();
    EXPECT_EQ(machine.log, std::vector<std::string>{"MsgBox 数据版本回退"});
}

}  // namespace
