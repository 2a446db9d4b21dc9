// The Voxbridge step of the install when 选择框1 is ticked: the serverURL
// value in Voxbridge's configuration, judged before the install writes
// anything and written only once the server list has passed too.
#pragma once

#include "support/text.h"

enum class VoiceChatOutcome {
    GoOn,  // the change is sound; the install goes on
    Stop,  // Voxbridge is missing or the change is not sound; the user has been told
};

// Reads the configuration and fetches the address, and judges both; writes
// nothing. On GoOn the program state holds the configuration as read, and
// *address the address to write and to name in the install report.
VoiceChatOutcome PrepareVoiceChatUpdate(Text* address);

// Reads the configuration again, judges it again when Voxbridge has saved
// since, and writes it with the address, a copy of the player's own kept
// first. False, with the user told, when it is no longer recognised or could
// not be written; the configuration then holds its bytes as they were.
bool WriteVoiceChatUpdate(const Text& address);

// Puts back the bytes the configuration held before the write above, when
// the rest of the install failed. False when they could not be written.
bool RestoreVoiceChatConfig();
