// How the controls look: the fonts, colours and mouse pointers of the
// window template, made into GDI objects and cursors.
#pragma once

#include "app/window_template.h"

#include <windows.h>

// The font at the DPI the window is drawn at. Created at the first request,
// kept until ReleaseFonts.
HFONT FontFor(FontKind kind, UINT dpi);
void ReleaseFonts();

// Sets the control's text and background colours on the device context and
// gives the brush for its background; nullptr when the control keeps the
// system's colours.
HBRUSH ApplyColours(HDC dc, const ControlTemplate& control);

// nullptr for the standard pointer of the control's class.
HCURSOR CursorFor(CursorKind kind);
