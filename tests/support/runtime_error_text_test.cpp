// The text of the run-time error report, byte for byte in GBK.
#include "support/runtime_error.h"

#include <gtest/gtest.h>

namespace {

// The bytes written as hexadecimal, so that the expectation does not depend
// on how this file's own literals are compiled.
Text FromHex(const char* hex) {
    Text bytes;
    for (; hex[0] && hex[1]; hex += 2) bytes += static_cast<char>(std::stoi(std::string(hex, 2), nullptr, 16));
    return bytes;
}

const Text kHeading = FromHex("d4cbd0d0cab1b3f6b4ed21" "0d0a0d0a");  // 运行时出错!\r\n\r\n
const Text kCodeLabel = FromHex("b4edcef3b4fac2eba3ba");                // 错误代码：
const Text kMessageLabel = FromHex("b4edcef3d0c5cfa2a3ba");             // 错误信息：
const Text kStackMessage = FromHex("b5f7d3c3444c4cc3fcc1eebaf3b7a2cfd6b6d1d5bbb4edcef3");  // 调用DLL命令后发现堆栈错误

TEST(RuntimeErrorText, JoinsTheHeadingNumberAndMessageInGbk) {
    EXPECT_EQ(RuntimeErrorText(LeftOut, LeftOut), kHeading);
    EXPECT_EQ(RuntimeErrorText(6, LeftOut), kHeading + kCodeLabel + "6\r\n\r\n");
    EXPECT_EQ(RuntimeErrorText(-1, LeftOut), kHeading + kCodeLabel + "-1\r\n\r\n");
    EXPECT_EQ(RuntimeErrorText(LeftOut, Text("x")), kHeading + kMessageLabel + "x\r\n");
    EXPECT_EQ(RuntimeErrorText(6, kStackMessage), kHeading + kCodeLabel + "6\r\n\r\n" + kMessageLabel + kStackMessage + "\r\n");
    // An empty message is still a message that was given.
    EXPECT_EQ(RuntimeErrorText(LeftOut, Text()), kHeading + kMessageLabel + "\r\n");
    // The program's literals are the same GBK bytes.
    EXPECT_EQ(Text("调用DLL命令后发现堆栈错误"), kStackMessage);
}

}  // namespace
