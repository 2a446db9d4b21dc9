// What every handler test starts from: a fresh fake machine and window, an
// empty program state, and a few helpers for reading what happened.
#pragma once

#include "model/program_state.h"
#include "support/site.h"
#include "tests/fakes/fake_machine.h"
#include "tests/fakes/fake_window.h"

#include <gtest/gtest.h>

#include <algorithm>

class HandlerTest : public ::testing::Test {
protected:
    static constexpr const char* kSystemFolder = "C:\\windows\\system32\\";
    const Text kGameFolder = Text(FakeMachine::kAppData) + "..\\LocalLow\\Mossgrove\\Starfold";
    const Text kBatchPath = Text(FakeMachine::kTemp) + "Speed.bat";  // the folder removal's batch file

    void SetUp() override {
        machine.Reset();
        window.Reset();
        State() = ProgramState();
        machine.specialFolders[10] = kSystemFolder;
    }

    // The writes of one of the program's vertical layouts (SetVoiceChatLayout,
    // SetCollapsedLayout), taken aside: the window and the log stay as they are.
    std::vector<PropertyAccess> LayoutWrites(void (*layout)()) {
        const FakeWindow before = window;
        const std::vector<std::string> log = machine.log;
        window.writes.clear();
        layout();
        std::vector<PropertyAccess> steps = window.writes;
        window = before;
        machine.log = log;
        return steps;
    }

    // The message box shown as the index-th: its text, flags and caption.
    void ExpectMessage(size_t index, const Text& text, int flags, const Text& caption) {
        const MsgBoxCall& box = machine.msgBoxes.at(index);
        EXPECT_EQ(box.message, text);
        EXPECT_EQ(box.flags, flags);
        EXPECT_EQ(box.caption, caption);
    }

    void ExpectOnlyMessage(const Text& text, int flags, const Text& caption) {
        ASSERT_EQ(machine.msgBoxes.size(), 1u);
        ExpectMessage(0, text, flags, caption);
    }

    // The log lines that begin with the prefix, in order.
    std::vector<std::string> LogOf(const std::string& prefix) const {
        std::vector<std::string> lines;
        std::copy_if(machine.log.begin(), machine.log.end(), std::back_inserter(lines),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return lines;
    }

    // The command line that runs a batch file through cmd, given the path as it stands there.
    static Text CmdRunning(const Text& path) {
        return "\"" + Text(kSystemFolder) + "cmd.exe\" /d /v:off /c \"\"" + path + "\"\"";
    }

    // The batch file that a command line runs through cmd, as cmd reads the
    // path ("%%cd:~,%" is one "%"); empty for any other command line.
    static Text BatchPathOf(const Text& commandLine) {
        const size_t around = CmdRunning("").size();  // the head and the two closing quotes
        Text path = commandLine.size() < around ? Text() : commandLine.substr(around - 2, commandLine.size() - around);
        if (CmdRunning(path) != commandLine) return Text();
        return ReplaceSubtext(path, "%%cd:~,%", Text("%"), LeftOut, LeftOut, true);
    }

    // Runs the batch file that a RunCommand names, as cmd would.
    void RunBatchFilesWhenStarted() {
        machine.onRunCommand = [this](const RunCommandCall& call) {
            machine.RunBatchFile(BatchPathOf(call.commandLine));
            return true;
        };
    }

    FakeMachine& machine = FakeMachine::Get();
    FakeWindow& window = FakeWindow::Get();
};

inline ByteArray Bytes(const Text& text) { return ToBytes(text); }

inline HttpResponse Response(int status, bool complete, const ByteArray& body) { return {body, status, complete}; }
