#include "support/dialogs.h"

int MsgBoxResultOf(int buttonId, int flags) {
    switch (buttonId) {
        case 0: break;  // the box was not shown
        case 2: return kMsgBoxCancel;
        case 3: return kMsgBoxAbort;
        case 4: return kMsgBoxRetry;
        case 5: return kMsgBoxIgnore;
        case 6: return kMsgBoxYes;
        case 7: return kMsgBoxNo;
        default: return kMsgBoxOk;
    }
    // The buttons are the low four bits of the flags: 1 OK and Cancel, 2 Abort,
    // Retry and Ignore, 3 Yes, No and Cancel, 4 Yes and No, 5 Retry and Cancel.
    switch (flags & 0xF) {
        case 1:
        case 3:
        case 5: return kMsgBoxCancel;
        case 2: return kMsgBoxAbort;
        case 4: return kMsgBoxNo;
        default: return kMsgBoxOk;  // OK alone: nothing rests on it
    }
}
