// A user profile of the scenario's own: roaming application data, LocalLow
// and a temporary folder, all empty at the start.
//
// Wine's shell takes the user's folders from the registry
// (User Shell Folders) and expands %USERPROFILE% from the prefix, not from
// the process environment, so the redirection is a registry value for the
// prefix's user: scenarios that use it cannot run side by side.
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

// Points the prefix user's roaming and LocalLow folders at the profile's,
// and back to the prefix's own (%USERPROFILE%\AppData\...).
bool RedirectUserFolders(const UserProfile& profile);
bool RestoreUserFolders();

// The environment a program needs to use the profile: its temporary folder
// and the variables that name the profile's folders.
std::map<std::wstring, std::wstring> ProfileEnvironment(const UserProfile& profile);
