// Clicked event of 按钮3: puts the player's own region file back, or deletes
// the installed list, wherever the installer's record says it is installed,
// and reports what it did at each place.
#pragma once

void UninstallCommand();
