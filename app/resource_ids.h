// Identifiers of the resources the program carries; shared by resources.rc
// and the code, so plain macros.
#pragma once

#define STARFOLD_ICON 1
#define STARFOLD_HAND_CURSOR 2
