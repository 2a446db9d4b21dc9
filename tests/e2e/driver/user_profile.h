// A user profile of the scenario's own: roaming application data, LocalLow
// and a temporary folder, all empty at the start.
//
// The project's prefix names the user's roaming and LocalLow folders through
// two variables (STARFOLD_ROAMING, STARFOLD_LOCALLOW) whose defaults are its
// own folders, so the profile reaches a program through its environment
// alone: each scenario's installer has its own, and scenarios run side by side.
#pragma once

#include <map>
#include <string>

struct UserProfile {
    std::wstring root;      // the profile folder
    std::wstring roaming;   // root\AppData\Roaming
    std::wstring localLow;  // root\AppData\LocalLow
    std::wstring temp;      // root\Temp
};

UserProfile ProfileIn(const std::wstring& root);

// Deletes whatever the folder held and creates the empty profile.
bool CreateEmptyProfile(const UserProfile& profile);

// The environment a program needs to use the profile: the variables that
// name its roaming and LocalLow folders, its temporary folder, and those
// that name the profile's folders for other programs.
std::map<std::wstring, std::wstring> ProfileEnvironment(const UserProfile& profile);
