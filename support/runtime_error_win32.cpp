#include "support/runtime_error.h"

#include "support/win32/wide_text.h"

#include <windows.h>

void ReportRuntimeError(std::optional<int> errorNumber, const std::optional<Text>& message) {
    std::wstring text = WideFromGbk(RuntimeErrorText(errorNumber, message));
    MessageBoxW(nullptr, text.c_str(), L"错误", MB_ICONERROR);
    ExitProcess(0xFFFFFFFFu);
}
