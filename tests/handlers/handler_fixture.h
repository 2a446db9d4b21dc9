// What every handler test starts from: a fresh fake machine and window, an
// empty program state, and a few helpers for reading what happened.
#pragma once

#include "app/program_state.h"
#include "support/site.h"
#include "tests/fakes/fake_machine.h"
#include "tests/fakes/fake_window.h"

#include <gtest/gtest.h>

#include <algorithm>

class HandlerTest : public ::testing::Test {
protected:
    static constexpr const char* kSystemFolder = "C:\\windows\\system32\\";

    void SetUp() override {
        machine.Reset();
        window.Reset();
        State() = ProgramState();
        machine.specialFolders[10] = kSystemFolder;
    }

    // The log lines that begin with the prefix, in order.
    std::vector<std::string> LogOf(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const std::string& line : machine.log) {
            if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
        }
        return lines;
    }

    // Runs the batch file that a RunCommand names, as cmd would.
    void RunBatchFilesWhenStarted() {
        machine.onRunCommand = [this](const RunCommandCall& call) {
            Text path = call.commandLine;
            if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
            machine.RunBatchFile(path);
            return true;
        };
    }

    FakeMachine& machine = FakeMachine::Get();
    FakeWindow& window = FakeWindow::Get();
};

inline ByteArray Bytes(const Text& text) { return ToBytes(text); }

inline HttpResponse Response(int status, bool complete, const ByteArray& body) {
    HttpResponse response;
    response.status = status;
    response.complete = complete;
    response.body = body;
    return response;
}
