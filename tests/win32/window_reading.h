// Reading another process's windows: finding its top-level windows and the
// place, size, text and state of each control.
#pragma once

#include "tests/win32/waiting.h"

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct Placement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Placement& place) {
    return out << place.left << "," << place.top << " " << place.width << "x" << place.height;
}

struct ControlState {
    HWND handle = nullptr;
    HWND parent = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    Placement placement;       // relative to the parent's client area; outer size
    bool visible = false;      // IsWindowVisible: shown, and every ancestor shown
    bool visibleStyle = false; // WS_VISIBLE of the control itself
    bool enabled = false;
    LONG style = 0;
    LONG exStyle = 0;
};

// Top-level windows of the process, optionally of one class and one title.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr, const wchar_t* title = nullptr);
// Waits for a visible top-level window of the process with that class and title.
HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs);

std::wstring WindowClass(HWND window);
// How a question to another process's window waits for its answer: until it
// comes or the time is up. Not SMTO_ABORTIFHUNG: a thread that has not asked
// for messages for 5 s counts as hung until it next does, and a message box
// shown at the end of a long command is read in that moment, before its loop
// has begun; the question would fail at once.
inline constexpr UINT kWaitForAnswer = SMTO_NORMAL;

// The window's text through WM_GETTEXT, so that it works across processes;
// none when the window does not answer in time.
std::optional<std::wstring> WindowText(HWND window, DWORD timeoutMs = kCeilingMs);

// The text the system keeps for another process's window, read without
// asking that process: it answers even while its thread is busy.
std::wstring StoredWindowText(HWND window);

// The first descendant of the window with the control identifier.
HWND FindControl(HWND topLevel, int id);
// Every descendant, in the order Windows gives them.
std::vector<HWND> Descendants(HWND topLevel);
// Reads a control (or a top-level window, whose placement is on the screen).
ControlState ReadControl(HWND control);

// The check state of a check box (BST_CHECKED...), -1 when it does not answer.
int CheckState(HWND checkBox);

// The window that has the keyboard focus in the thread of this one; nullptr for none.
HWND KeyboardFocus(HWND window);

// The screen as this process sees it, and the work area without the task bar.
RECT ScreenRect();
RECT WorkArea();
