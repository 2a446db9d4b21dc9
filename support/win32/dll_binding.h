// Windows functions that the program calls through a table of its own: each
// entry is bound at its first call and the stack is checked after each call.
#pragma once

#include <cstdint>

struct DllEntry {
    const char* library;   // the library's file name, as the error report names it
    const char* function;  // the exported name
    void* address;         // remembered once bound
};

// The entry's address. At the first call the library is loaded by its file
// name from the system folder and the function looked up by its name; when
// either is missing, the run-time error report names both and the process ends.
void* BindDllEntry(DllEntry& entry);

// The run-time error report naming a library and a function of it that
// could not be found; the process ends.
[[noreturn]] void ReportMissingDllFunction(const char* library, const char* function);

// Calls the entry with two arguments and gives its raw result register. A
// stack position that differs after the call is run-time error 6, which ends
// the process.
std::uintptr_t CallDllEntry(DllEntry& entry, std::uintptr_t first, std::uintptr_t second);
