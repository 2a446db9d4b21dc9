// How the main window and its controls are found: by the window itself, by
// a second start of the installer, and by programs that drive it from
// outside (the end-to-end tests).
#pragma once

#include "model/properties.h"

// Window class and title (the title as UTF-16, as Windows shows it).
#define STARFOLD_WINDOW_CLASS L"StarfoldCommunityInstaller"
#define STARFOLD_WINDOW_TITLE L"Starfold\u793e\u533a\u670d\u5b89\u88c5\u5668"

// Each control's child-window identifier. The controls that sit inside a
// group box are children of that group box, not of the main window.
constexpr int ControlId(Control control) { return 1000 + static_cast<int>(control); }
