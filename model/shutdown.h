// Ending the program from inside an event handler.
#pragma once

// Runs the exit handler (once only, whichever way the program ends), closes
// what the window layer holds and ends the process with the exit code.
[[noreturn]] void EndProgram(int exitCode);
