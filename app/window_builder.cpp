#include "app/window_builder.h"

#include "app/control_look.h"
#include "app/dpi_scale.h"
#include "app/html_viewer.h"
#include "app/window_ids.h"
#include "support/win32/wide_text.h"

#include <commctrl.h>

namespace {

struct KindStyle {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

KindStyle StyleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::GroupBox:
            // A control parent, so that Tab reaches the edit boxes inside.
            return {WC_BUTTONW, BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case ControlKind::EditBox:
            return {WC_EDITW, ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | WS_TABSTOP, 0};
        case ControlKind::Label:
            // SS_NOTIFY: without it the label is transparent to the mouse. A tab
            // stop, as it is a link the keyboard can press.
            return {WC_STATICW, SS_LEFT | SS_NOTIFY | WS_TABSTOP, 0};
        case ControlKind::Button:
            return {WC_BUTTONW, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 0};
        case ControlKind::HtmlViewer:
            return {HtmlViewerClass(), WS_CLIPCHILDREN, 0};
    }
    return {WC_STATICW, 0, 0};
}

HWND CreateControl(const ControlTemplate& row, HWND parent, UINT dpi) {
    KindStyle kind = StyleOf(row.kind);
    DWORD style = WS_CHILD | kind.style | (row.visible ? WS_VISIBLE : 0);
    HWND control = CreateWindowExW(kind.extendedStyle, kind.className, WideFromGbk(row.text).c_str(), style,
                                   ToPixels(row.left, dpi), ToPixels(row.top, dpi), ToPixels(row.width, dpi),
                                   ToPixels(row.height, dpi), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row.control))),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!control) return nullptr;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.font, dpi)), FALSE);
    // No length limit: 0 asks for the largest the control allows.
    if (row.kind == ControlKind::EditBox) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    return control;
}

}  // namespace

bool BuildControls(HWND window, UINT dpi, ControlHandles& handles) {
    handles.fill(nullptr);
    handles[static_cast<int>(Control::Window)] = window;
    for (const ControlTemplate& row : ControlTemplates()) {
        HWND parent = handles[static_cast<int>(row.parent)];
        HWND control = CreateControl(row, parent, dpi);
        if (!control) return false;
        handles[static_cast<int>(row.control)] = control;
    }
    return true;
}

void RescaleControls(const ControlHandles& handles, UINT from, UINT to) {
    for (const ControlTemplate& row : ControlTemplates()) {
        HWND control = handles[static_cast<int>(row.control)];
        RECT place = PlaceInParent(control);
        SetWindowPos(control, nullptr, ToPixels(ToUnits(place.left, from), to), ToPixels(ToUnits(place.top, from), to),
                     ToPixels(ToUnits(place.right - place.left, from), to),
                     ToPixels(ToUnits(place.bottom - place.top, from), to), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.font, to)), TRUE);
    }
}

RECT PlaceInParent(HWND handle) {
    RECT rect = {};
    GetWindowRect(handle, &rect);
    HWND parent = GetParent(handle);
    if (parent && (GetWindowLongW(handle, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}
