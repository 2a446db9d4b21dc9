// Clicked event of 按钮1: downloads the server list and writes it as the
// game's region file, first pointing Voxbridge at the community voice server
// when 选择框1 is ticked; reports the outcome in a message box.
#pragma once

void InstallCommand();
