// The values that outlive a handler. Each command assigns a field before it
// reads it; the exit handler releases the byte arrays.
#pragma once

#include "support/text.h"

struct ProgramState {
    ByteArray VersionReply;     // the version resource's body, fetched at start-up
    ByteArray ConfigBytes;      // the Voxbridge configuration as read
    int KeyPosition = 0;        // 1-based position of the key text in it, or -1
    int CommaPosition = 0;      // 1-based position of the first comma at or after the key, or -1
    ByteArray NewConfigBytes;   // the rewritten configuration as written back
    ByteArray ServerListBytes;  // the server-list download
    // What a command under way must set right when the program ends inside
    // it (the window closed during one of its waits); none between commands.
    void (*EndsMidway)() = nullptr;
};

ProgramState& State();

// Lets a command under way set right what it began, then releases
// VersionReply, ConfigBytes, NewConfigBytes and ServerListBytes in this
// order, skipping the empty ones; gives how many blocks it released.
int ExitHandler();
