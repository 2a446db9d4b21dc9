// The run-time error report: one error box, then the process ends with -1.
#pragma once

#include "support/text.h"

// The text is "运行时出错!\r\n\r\n", then "错误代码：" with the number and
// "\r\n\r\n" when a number is given, then "错误信息：" with the message and
// "\r\n" when a message is given.
Text RuntimeErrorText(std::optional<int> errorNumber, const std::optional<Text>& message);

// Shows RuntimeErrorText with caption "错误" and the error icon, no owner
// window, and ends the process with exit code -1 (0xFFFFFFFF).
[[noreturn]] void ReportRuntimeError(std::optional<int> errorNumber, const std::optional<Text>& message);
