// Acting on another process's controls, and refusing windows on this thread.
// Everything is posted, not sent: a handler that opens a modal box must not
// keep the driver waiting.
#pragma once

#include <windows.h>

#include <string>

// BM_CLICK: the button (or check box) goes down and up and reports
// BN_CLICKED to its parent, as after a mouse click.
bool PostClick(HWND button);

// The left mouse button going down, and separately up, over a point of the
// control (client coordinates).
bool PostLeftButtonDown(HWND control, int x, int y);
bool PostLeftButtonUp(HWND control, int x, int y);

// A key pressed and released over the control, as the keyboard delivers it
// to the window that has the focus; without Shift, Ctrl or Alt.
bool PostKey(HWND control, UINT key);

// Typing: selects the whole text, then one WM_CHAR per UTF-16 unit, as the
// keyboard would deliver them; the new text replaces the selection.
bool PostTyping(HWND edit, const std::wstring& text);

// Replacing the text at once with WM_SETTEXT (no typing, no EN_UPDATE per key).
bool SendText(HWND control, const std::wstring& text);

// Closing a top-level window: WM_CLOSE, or the title bar's close command.
bool PostClose(HWND window);
bool PostTitleBarClose(HWND window);

// From now on windows of the class cannot be created on this thread, as on a
// system out of resources, until the refusal stops; false when it cannot begin.
bool RefuseWindowClass(const std::wstring& className);
void StopRefusingWindowClass();
