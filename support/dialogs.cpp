#include "support/dialogs.h"

#include <algorithm>
#include <string>

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

Text FirstLines(const Text& text) {
    const int kShownLines = 20;
    const int kShownCharacters = 1000;
    size_t end = 0;
    for (int line = 0, character = 0; line < kShownLines && character < kShownCharacters && end < text.size();
         ++character) {
        if (text[end] == '\n') ++line;
        // A byte of 0x80 or more leads a two-byte character, never cut.
        end = std::min(end + (static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1), text.size());
    }
    if (end >= text.size()) return text;
    Text rest = text.substr(end);
    size_t omitted = std::count(rest.begin(), rest.end(), '\n') + (rest.back() == '\n' ? 0 : 1);
    return text.substr(0, end) + "……（另有" + std::to_string(omitted) + "行未显示）";
}
