#include "support/dialogs.h"

#include "support/win32/wide_text.h"

#include <windows.h>

int MsgBox(const Text& message, int flags, const std::optional<Text>& caption) {
    UINT style = static_cast<UINT>(flags);
    if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
    std::wstring wideMessage = WideFromGbk(message);
    std::wstring wideCaption = WideFromGbk(caption.value_or("信息："));
    return MsgBoxResultOf(MessageBoxW(nullptr, wideMessage.c_str(), wideCaption.c_str(), style), flags);
}
