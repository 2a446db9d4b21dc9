// Modal message boxes.
#pragma once

#include "support/text.h"

// Message-box style values that the installer passes.
enum MsgBoxFlags : int {
    kMsgBoxError = 0x10,             // OK, error icon
    kMsgBoxYesNoQuestion = 0x24,     // Yes and No, question icon
    kMsgBoxWarning = 0x30,           // OK, warning icon
    kMsgBoxOkCancelWarning = 0x31,   // OK and Cancel, warning icon
    kMsgBoxSecondButtonDefault = 0x100,
    kMsgBoxOkCancelInfo = 0x41,      // OK and Cancel, information icon
};

// Results of MsgBox: the button that closed the box, mapped to a small number.
enum MsgBoxResult : int {
    kMsgBoxOk = 0,  // also anything unknown, a failed call included
    kMsgBoxCancel = 1,
    kMsgBoxAbort = 2,
    kMsgBoxRetry = 3,
    kMsgBoxIgnore = 4,
    kMsgBoxYes = 5,
    kMsgBoxNo = 6,
};

// Shows a task-modal box (unless the flags ask for system-modal) with no
// owner window and waits for it to close. A caption left out is "信息：".
int MsgBox(const Text& message, int flags, const std::optional<Text>& caption);
