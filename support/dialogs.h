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
    kMsgBoxOk = 0,  // also an unknown button
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

// The result for the Windows identifier of the button that closed a box of
// these flags (IDOK 1 ... IDNO 7). A box that could not be shown (0) gives the
// cautious answer, Cancel or No, so that nothing is deleted, ended or
// replaced without a question answered.
int MsgBoxResultOf(int buttonId, int flags);

// A long text as a box can show it: a box as tall or as wide as hundreds of
// lines, or thousands of characters on one line, runs off the screen with its
// buttons. The first 20 lines and at most 1,000 characters, then
// "……（另有N行未显示）" with how many lines are not shown in full; a
// shorter text as it is.
Text FirstLines(const Text& text);
