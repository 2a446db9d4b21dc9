// The property interface on the real window: each property is read from and
// written to the control itself, so it always shows what the user sees.
#include "app/dpi_scale.h"
#include "app/html_viewer.h"
#include "app/main_window.h"
#include "app/window_builder.h"
#include "model/properties.h"
#include "support/win32/wide_text.h"

#include <map>
#include <string>

namespace {

// 标记 is a free text of the caller's that nothing shows.
std::map<Control, Text>& Tags() {
    static std::map<Control, Text> tags;
    return tags;
}

void MoveTo(HWND handle, int left, int top) {
    SetWindowPos(handle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResizeTo(HWND handle, int width, int height) {
    SetWindowPos(handle, nullptr, 0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring WindowText(HWND handle) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    int length = GetWindowTextW(handle, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

}  // namespace

// Places and sizes are in 96-DPI units, as the template gives them.
int GetIntegerProperty(Control control, Property property) {
    HWND handle = ControlWindow(control);
    if (!handle) return 0;
    RECT place = PlaceInParent(handle);
    switch (property) {
        case Property::左边: return ToUnits(place.left, LayoutDpi());
        case Property::顶边: return ToUnits(place.top, LayoutDpi());
        case Property::宽度: return ToUnits(place.right - place.left, LayoutDpi());
        case Property::高度: return ToUnits(place.bottom - place.top, LayoutDpi());
        default: return 0;
    }
}

bool GetLogicalProperty(Control control, Property property) {
    HWND handle = ControlWindow(control);
    if (!handle) return false;
    switch (property) {
        // The control's own flag: a control inside a hidden group box is still visible itself.
        case Property::可视: return (GetWindowLongW(handle, GWL_STYLE) & WS_VISIBLE) != 0;
        case Property::禁止: return !IsWindowEnabled(handle);
        case Property::selected: return SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        default: return false;
    }
}

Text GetTextProperty(Control control, Property property) {
    HWND handle = ControlWindow(control);
    switch (property) {
        case Property::content:
        case Property::caption: return handle ? GbkFromWideReplacing(WindowText(handle)) : Text();
        case Property::地址: return HtmlViewerAddress();
        case Property::标记: return Tags()[control];
        default: return Text();
    }
}

void SetIntegerProperty(Control control, Property property, int value) {
    HWND handle = ControlWindow(control);
    if (!handle) return;
    RECT place = PlaceInParent(handle);
    value = ToPixels(value, LayoutDpi());
    switch (property) {
        case Property::左边: MoveTo(handle, value, place.top); break;
        case Property::顶边: MoveTo(handle, place.left, value); break;
        case Property::宽度: ResizeTo(handle, value, place.bottom - place.top); break;
        case Property::高度: ResizeTo(handle, place.right - place.left, value); break;
        default: break;
    }
}

void SetLogicalProperty(Control control, Property property, bool value) {
    HWND handle = ControlWindow(control);
    if (!handle) return;
    switch (property) {
        case Property::可视: ShowWindow(handle, value ? SW_SHOWNA : SW_HIDE); break;
        case Property::禁止: EnableWindow(handle, !value); break;
        // BM_SETCHECK changes the box without a BN_CLICKED, so no handler runs.
        case Property::selected: SendMessageW(handle, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0); break;
        default: break;
    }
}

void SetTextProperty(Control control, Property property, const Text& value) {
    HWND handle = ControlWindow(control);
    switch (property) {
        case Property::content:
        case Property::caption:
            if (handle) SetWindowTextW(handle, WideFromGbk(value).c_str());
            break;
        case Property::地址: NavigateHtmlViewer(handle, value); break;
        case Property::标记: Tags()[control] = value; break;
        default: break;
    }
}
