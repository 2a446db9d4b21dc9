// Clicked event of 按钮3: puts the player's own region file back, or deletes
// the installed one, and reports it.
#pragma once

void UninstallCommand();
