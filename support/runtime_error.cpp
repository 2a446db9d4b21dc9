#include "support/runtime_error.h"

#include <string>

Text RuntimeErrorText(std::optional<int> errorNumber, const std::optional<Text>& message) {
    Text text = "运行时出错!\r\n\r\n";
    if (errorNumber) text += "错误代码：" + std::to_string(*errorNumber) + "\r\n\r\n";
    if (message) text += "错误信息：" + *message + "\r\n";
    return text;
}
