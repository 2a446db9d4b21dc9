// Message boxes under Wine, answered from a second thread as a user would.
#include "support/dialogs.h"
#include "tests/win32/message_boxes.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct SeenBox {
    bool shown = false;
    std::wstring caption;
    std::wstring message;
    bool otherWindowEnabled = false;
    bool topmost = false;
    HWND owner = nullptr;
};

// Shows the box on this thread and, once it is up, presses the button from
// another thread, noting what the box looked like.
int AnswerMsgBox(const Text& message, int flags, const std::optional<Text>& caption, int button,
                 SeenBox* seen = nullptr, HWND otherWindow = nullptr) {
    SeenBox local;
    if (!seen) seen = &local;
    std::thread answer([&] {
        std::optional<MessageBoxState> box = WaitForMessageBox(GetCurrentProcessId(), kCeilingMs, {}, IconCheck::Skip);
        if (!box) return;
        seen->shown = true;
        seen->caption = box->caption;
        seen->message = box->text;
        seen->otherWindowEnabled = otherWindow && IsWindowEnabled(otherWindow);
        seen->topmost = (GetWindowLongW(box->handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        seen->owner = GetWindow(box->handle, GW_OWNER);
        AnswerMessageBox(*box, button);
    });
    int result = MsgBox(message, flags, caption);
    answer.join();
    EXPECT_TRUE(seen->shown) << "no box for flags " << flags;
    return result;
}

TEST(MsgBox, MapsTheButtonThatClosedTheBox) {
    EXPECT_EQ(AnswerMsgBox("确定吗？", kMsgBoxOkCancelWarning, Text("提示"), IDOK), kMsgBoxOk);
    EXPECT_EQ(AnswerMsgBox("确定吗？", kMsgBoxOkCancelWarning, Text("提示"), IDCANCEL), kMsgBoxCancel);
    EXPECT_EQ(AnswerMsgBox("有新版本", kMsgBoxYesNoQuestion, Text("提示"), IDYES), kMsgBoxYes);
    EXPECT_EQ(AnswerMsgBox("有新版本", kMsgBoxYesNoQuestion, Text("提示"), IDNO), kMsgBoxNo);
    EXPECT_EQ(AnswerMsgBox("x", MB_ABORTRETRYIGNORE, Text("x"), IDABORT), kMsgBoxAbort);
    EXPECT_EQ(AnswerMsgBox("x", MB_ABORTRETRYIGNORE, Text("x"), IDRETRY), kMsgBoxRetry);
    EXPECT_EQ(AnswerMsgBox("x", MB_ABORTRETRYIGNORE, Text("x"), IDIGNORE), kMsgBoxIgnore);
    EXPECT_EQ(AnswerMsgBox("x", kMsgBoxOkCancelInfo, Text("x"), IDCANCEL), kMsgBoxCancel);
    EXPECT_EQ(AnswerMsgBox("x", kMsgBoxError, Text("x"), IDOK), kMsgBoxOk);
}

TEST(MsgBox, ShowsTheMessageAndTheCaptionOrTheDefaultCaption) {
    SeenBox seen;
    AnswerMsgBox("安装完成！\r\n共 3 个服务器", kMsgBoxWarning, LeftOut, IDOK, &seen);
    EXPECT_EQ(seen.caption, L"信息：");
    EXPECT_EQ(seen.message, L"安装完成！\r\n共 3 个服务器");

    AnswerMsgBox("卸载完成", kMsgBoxWarning, Text("卸载"), IDOK, &seen);
    EXPECT_EQ(seen.caption, L"卸载");
    EXPECT_EQ(seen.message, L"卸载完成");
}

TEST(MsgBox, IsTaskModalUnlessSystemModalIsAsked) {
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(other);
    SeenBox seen;
    AnswerMsgBox("x", kMsgBoxWarning, Text("x"), IDOK, &seen, other);
    EXPECT_FALSE(seen.otherWindowEnabled);
    EXPECT_FALSE(seen.topmost);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(IsWindowEnabled(other));

    AnswerMsgBox("x", kMsgBoxWarning | MB_SYSTEMMODAL, Text("x"), IDOK, &seen, other);
    EXPECT_TRUE(seen.otherWindowEnabled);
    EXPECT_TRUE(seen.topmost);
    DestroyWindow(other);
}

}  // namespace
