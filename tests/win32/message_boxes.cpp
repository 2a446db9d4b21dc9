#include "tests/win32/message_boxes.h"

#include "tests/win32/screen_capture.h"
#include "tests/win32/waiting.h"
#include "tests/win32/window_input.h"
#include "tests/win32/window_reading.h"

#include <algorithm>

namespace {

constexpr int kMessageTextId = 0xFFFF;

HWND IconControl(HWND box) {
    for (HWND child : Descendants(box)) {
        if (WindowClass(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return child;
    }
    return nullptr;
}

BoxIcon ReadIcon(HWND box) {
    HWND control = IconControl(box);
    // Wine keeps the icon control of a box without an icon, empty.
    if (!control || !IsWindowVisible(control) || !SendMessageW(control, STM_GETICON, 0, 0)) return BoxIcon::None;
    // Nothing else may cover the icon while its pixels are read.
    RaisedWindow raised(box);
    RECT rect;
    GetWindowRect(control, &rect);
    BoxIcon icon = BoxIcon::Unknown;
    // The box may still be painting: look again until it has.
    WaitUntil(kCeilingMs, [&] {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE);
        icon = MatchBoxIcon(CaptureScreen(rect));
        return icon != BoxIcon::Unknown && icon != BoxIcon::None;
    });
    return icon;
}

MessageBoxState ReadMessageBox(HWND box, IconCheck icon) {
    MessageBoxState state;
    state.handle = box;
    state.caption = WindowText(box).value_or(L"");
    if (HWND text = GetDlgItem(box, kMessageTextId)) state.text = WindowText(text).value_or(L"");
    std::vector<std::pair<LONG, int>> buttons;
    for (HWND child : Descendants(box)) {
        if (WindowClass(child) != L"Button" || !IsWindowVisible(child)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        buttons.push_back({rect.left, GetDlgCtrlID(child)});
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& [left, id] : buttons) state.buttons.push_back(id);
    state.icon = icon == IconCheck::Look ? ReadIcon(box) : BoxIcon::Unknown;
    return state;
}

}  // namespace

std::vector<HWND> OpenMessageBoxes(DWORD processId) {
    std::vector<HWND> boxes;
    for (HWND window : TopLevelWindows(processId, L"#32770"))
        if (IsWindowVisible(window)) boxes.push_back(window);
    return boxes;
}

std::optional<MessageBoxState> WaitForMessageBox(DWORD processId, DWORD timeoutMs, const std::vector<HWND>& alreadySeen,
                                                 IconCheck icon) {
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND box : OpenMessageBoxes(processId))
            if (!found && std::find(alreadySeen.begin(), alreadySeen.end(), box) == alreadySeen.end()) found = box;
        return found != nullptr;
    });
    return found ? std::optional<MessageBoxState>(ReadMessageBox(found, icon)) : std::nullopt;
}

bool AnswerMessageBox(const MessageBoxState& box, int buttonId, DWORD timeoutMs) {
    if (std::find(box.buttons.begin(), box.buttons.end(), buttonId) == box.buttons.end()) return false;
    HWND button = GetDlgItem(box.handle, buttonId);
    if (!button || !PostClick(button)) return false;
    return WaitUntil(timeoutMs, [&] { return !IsWindow(box.handle) || !IsWindowVisible(box.handle); });
}

std::wstring ButtonName(int buttonId) {
    static const wchar_t* const kNames[] = {L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore", L"Yes", L"No"};
    return buttonId >= IDOK && buttonId <= IDNO ? kNames[buttonId - IDOK] : L"#" + std::to_wstring(buttonId);
}

std::wstring ButtonList(const std::vector<int>& buttons) {
    std::wstring list;
    for (int id : buttons) list += (list.empty() ? L"" : L", ") + ButtonName(id);
    return list;
}
