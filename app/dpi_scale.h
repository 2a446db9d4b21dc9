// The window's template and its property interface speak in units of a
// 96-DPI screen; on the screen each unit is scaled to the window's DPI, so
// the window is as large and as sharp at any display scale.
#pragma once

#include <windows.h>

constexpr int kUnitsDpi = 96;

// The DPI the window is drawn at: its monitor's where Windows scales each
// monitor apart, else the system's. With no window, the system's.
UINT WindowDpi(HWND window);

inline int ToPixels(int units, UINT dpi) { return MulDiv(units, static_cast<int>(dpi), kUnitsDpi); }
inline int ToUnits(int pixels, UINT dpi) { return MulDiv(pixels, kUnitsDpi, static_cast<int>(dpi)); }
