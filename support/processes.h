// Starting processes and opening addresses, and the program's own environment.
#pragma once

#include "support/text.h"

// Show modes of RunCommand.
enum ShowMode : int {
    kShowHidden = 1,
    kShowNormal = 2,  // also when the show mode is left out
    kShowMinimized = 3,
    kShowMaximized = 4,
    kShowNoActivate = 5,
    kShowMinimize = 6,
};

// The longest RunCommand waits for a process to end.
inline constexpr unsigned kLongestExitWaitMs = 60000;

// Starts the command line as it stands (no command interpreter, the caller
// quotes). With waitForExit true, waits until the process has ended, with the
// windows alive and for kLongestExitWaitMs at most: past that the process
// goes on by itself. False or left out, waits at most 1000 ms for it to become idle. The
// show mode is clamped to 1..6. True when the process was started.
bool RunCommand(const Text& commandLine, std::optional<bool> waitForExit, std::optional<int> showMode);

// Opens the address with the user's default handler; the outcome is not examined.
void OpenUrl(const std::optional<Text>& address);

// The value of a variable of the program's environment; the empty text when
// it is unset or has no GBK form.
Text EnvironmentVariable(const Text& name);
