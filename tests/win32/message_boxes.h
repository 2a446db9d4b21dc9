// The message boxes of another process: waiting for one, reading it and
// answering it with one of its buttons.
#pragma once

#include "tests/win32/icon_matching.h"
#include "tests/win32/waiting.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct MessageBoxState {
    HWND handle = nullptr;
    std::wstring caption;
    std::wstring text;         // the static control 0xFFFF
    BoxIcon icon = BoxIcon::None;
    std::vector<int> buttons;  // identifiers of the visible buttons (IDOK, IDCANCEL, IDYES, IDNO...), left to right
};

// The message boxes (class #32770) of the process that are on the screen now.
std::vector<HWND> OpenMessageBoxes(DWORD processId);

// The icon is read from the screen, with the box raised above every other
// window for up to a second and a half; a test that does not check the icon
// skips that (the icon then reads Unknown).
enum class IconCheck { Look, Skip };

// Waits for a box of the process that is not in the list of boxes already
// seen, and reads it once it is shown.
std::optional<MessageBoxState> WaitForMessageBox(DWORD processId, DWORD timeoutMs,
                                                 const std::vector<HWND>& alreadySeen = {},
                                                 IconCheck icon = IconCheck::Look);

// Clicks the button and waits until the box has closed; false when it has
// no such button or stays open.
bool AnswerMessageBox(const MessageBoxState& box, int buttonId, DWORD timeoutMs = kCeilingMs);

// "OK", "Cancel", "Yes"... for reports.
std::wstring ButtonName(int buttonId);
std::wstring ButtonList(const std::vector<int>& buttons);
