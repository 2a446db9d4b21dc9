// The install command's first step when 选择框1 is ticked: rewrites the
// serverURL value in Voxbridge's configuration.
#pragma once

#include "support/text.h"

enum class VoiceChatOutcome {
    GoOn,  // the configuration was rewritten; the install goes on
    Stop,  // Voxbridge is missing or the change was not sound; the user has been told
};

// On GoOn, *addressWritten receives the address that now stands in the
// configuration, for the install report.
VoiceChatOutcome VoiceChatServerUpdate(Text* addressWritten);
