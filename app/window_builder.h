// Creates the controls of the main window from the window template, in
// one place.
#pragma once

#include "app/window_template.h"

#include <windows.h>

#include <array>

// Control handles by Control value; entry 0 is the main window itself.
using ControlHandles = std::array<HWND, kControlCount + 1>;

// Creates every control of the template inside the window, with its place,
// text, style, font and initial state, scaled to the DPI. False when one
// cannot be created.
bool BuildControls(HWND window, UINT dpi, ControlHandles& handles);

// Moves and sizes every control, and gives it its font, for another DPI,
// keeping the place each has now.
void RescaleControls(const ControlHandles& handles, UINT from, UINT to);

// The outer rectangle of a control in its parent's client area; of the main
// window, on the screen.
RECT PlaceInParent(HWND handle);
