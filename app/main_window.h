// The main window: creation from the template, the routing of its events to
// the handlers, and the message loop.
#pragma once

#include "model/properties.h"

#include <windows.h>

// Creates the window and its controls centred on the screen, shows it and
// delivers its creation-completed event (the start-up sequence). False when
// the window or one of its controls cannot be created; nothing is left then.
bool LoadStartWindow();

// Retrieves and dispatches messages until the quit message arrives.
void RunMessageLoop();

// nullptr while the window does not exist.
HWND MainWindow();
// The DPI the window and its controls are laid out at.
UINT LayoutDpi();
HWND ControlWindow(Control control);

// Destroys the window with its controls, if it exists.
void CloseMainWindow();
