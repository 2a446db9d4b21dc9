#include "tests/win32/window_reading.h"

#include "tests/win32/waiting.h"

namespace {

struct TopLevelSearch {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->className && WindowClass(window) != search->className) return TRUE;
    if (!search->title || StoredWindowText(window) == search->title) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, const wchar_t* title) {
    TopLevelSearch search{processId, className, title, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND window : TopLevelWindows(processId, className, title))
            if (!found && IsWindowVisible(window)) found = window;
        return found != nullptr;
    });
    return found;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::optional<std::wstring> WindowText(HWND window, DWORD timeoutMs) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, kWaitForAnswer, timeoutMs, &length)) return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), kWaitForAnswer,
                             timeoutMs, &copied))
        return std::nullopt;
    text.resize(copied);
    return text;
}

std::wstring StoredWindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::vector<HWND> Descendants(HWND topLevel) {
    std::vector<HWND> children;
    EnumChildWindows(topLevel, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindControl(HWND topLevel, int id) {
    for (HWND child : Descendants(topLevel))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

ControlState ReadControl(HWND control) {
    ControlState state;
    state.handle = control;
    state.style = GetWindowLongW(control, GWL_STYLE);
    state.exStyle = GetWindowLongW(control, GWL_EXSTYLE);
    bool child = (state.style & WS_CHILD) != 0;
    state.parent = child ? GetParent(control) : nullptr;
    state.id = child ? GetDlgCtrlID(control) : 0;
    state.className = WindowClass(control);
    state.text = WindowText(control).value_or(L"");
    RECT rect = {};
    GetWindowRect(control, &rect);
    if (child) MapWindowPoints(HWND_DESKTOP, state.parent, reinterpret_cast<POINT*>(&rect), 2);
    state.placement = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    state.visible = IsWindowVisible(control) != FALSE;
    state.visibleStyle = (state.style & WS_VISIBLE) != 0;
    state.enabled = IsWindowEnabled(control) != FALSE;
    return state;
}

int CheckState(HWND checkBox) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(checkBox, BM_GETCHECK, 0, 0, kWaitForAnswer, kCeilingMs, &state)) return -1;
    return static_cast<int>(state);
}

HWND KeyboardFocus(HWND window) {
    GUITHREADINFO thread = {sizeof thread};
    DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    return threadId && GetGUIThreadInfo(threadId, &thread) ? thread.hwndFocus : nullptr;
}

RECT ScreenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

RECT WorkArea() {
    RECT area = ScreenRect();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}
