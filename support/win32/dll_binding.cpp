#include "support/win32/dll_binding.h"

#include "support/runtime_error.h"
#include "support/win32/system_libraries.h"
#include "support/win32/wide_text.h"

#include <windows.h>

// Calls `function` with two register arguments and stores how far the stack
// pointer moved across the call. The stack position before the call is kept
// in a callee-saved register and put back afterwards, so a function that
// removes more or less than it should cannot throw the caller off its frame.
extern "C" std::uintptr_t StarfoldCheckedCall(void* function, std::uintptr_t first, std::uintptr_t second,
                                              std::intptr_t* stackShift);
asm(R"(
    .text
    .globl StarfoldCheckedCall
    .def StarfoldCheckedCall; .scl 2; .type 32; .endef
    .seh_proc StarfoldCheckedCall
StarfoldCheckedCall:
    pushq %rbx
    .seh_pushreg %rbx
    pushq %rsi
    .seh_pushreg %rsi
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %r9, %rsi
    movq %rcx, %rax
    movq %rdx, %rcx
    movq %r8, %rdx
    movq %rsp, %rbx
    callq *%rax
    movq %rsp, %rdx
    subq %rbx, %rdx
    movq %rbx, %rsp
    movq %rdx, (%rsi)
    addq $40, %rsp
    popq %rsi
    popq %rbx
    retq
    .seh_endproc
)");

void ReportMissingDllFunction(const char* library, const char* function) {
    ReportRuntimeError(LeftOut, "无法找到指定DLL库文件“" + Text(library) + "”中的输出命令“" + Text(function) + "”");
}

void* BindDllEntry(DllEntry& entry) {
    if (entry.address) return entry.address;
    HMODULE library = LoadSystemLibrary(WideFromGbk(entry.library).c_str());
    FARPROC function = library ? GetProcAddress(library, entry.function) : nullptr;
    if (!function) ReportMissingDllFunction(entry.library, entry.function);
    entry.address = reinterpret_cast<void*>(function);
    return entry.address;
}

std::uintptr_t CallDllEntry(DllEntry& entry, std::uintptr_t first, std::uintptr_t second) {
    void* function = BindDllEntry(entry);
    std::intptr_t stackShift = 0;
    std::uintptr_t result = StarfoldCheckedCall(function, first, second, &stackShift);
    if (stackShift != 0) ReportRuntimeError(6, Text("调用DLL命令后发现堆栈错误"));
    return result;
}
