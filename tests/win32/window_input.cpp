#include "tests/win32/window_input.h"

#include "tests/win32/window_reading.h"

namespace {

// Statics of functions: a refusal may begin before this file's globals are initialised.
std::wstring& RefusedClass() {
    static std::wstring name;
    return name;
}

HHOOK& RefusalHook() {
    static HHOOK hook = nullptr;
    return hook;
}

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && _wcsicmp(WindowClass(reinterpret_cast<HWND>(wParam)).c_str(), RefusedClass().c_str()) == 0)
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool PostClick(HWND button) { return PostMessageW(button, BM_CLICK, 0, 0) != FALSE; }

bool PostLeftButtonDown(HWND control, int x, int y) {
    return PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)) != FALSE;
}

bool PostLeftButtonUp(HWND control, int x, int y) {
    return PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y)) != FALSE;
}

bool PostKey(HWND control, UINT key) {
    // One stroke: bit 30 (the key was already down) and bit 31 (released) mark the release.
    LPARAM stroke = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    return PostMessageW(control, WM_KEYDOWN, key, stroke) &&
           PostMessageW(control, WM_KEYUP, key, stroke | (1 << 30) | (1u << 31));
}

bool PostTyping(HWND edit, const std::wstring& text) {
    if (!PostMessageW(edit, EM_SETSEL, 0, -1)) return false;
    if (text.empty()) return PostMessageW(edit, WM_CHAR, VK_BACK, 1) != FALSE;
    for (wchar_t unit : text)
        if (!PostMessageW(edit, WM_CHAR, unit, 1)) return false;
    return true;
}

bool SendText(HWND control, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), kWaitForAnswer, kCeilingMs,
                               &result) &&
           result == TRUE;
}

bool PostClose(HWND window) { return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE; }

bool PostTitleBarClose(HWND window) { return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE; }

bool RefuseWindowClass(const std::wstring& className) {
    RefusedClass() = className;
    RefusalHook() = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    return RefusalHook() != nullptr;
}

void StopRefusingWindowClass() {
    if (RefusalHook()) UnhookWindowsHookEx(RefusalHook());
    RefusalHook() = nullptr;
}
