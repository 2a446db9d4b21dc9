// Clicked event of 按钮3: deletes the game's region file and reports it.
#pragma once

void UninstallCommand();
