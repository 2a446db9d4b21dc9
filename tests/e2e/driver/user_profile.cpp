#include "driver/user_profile.h"

#include "tests/win32/files.h"

UserProfile ProfileIn(const std::wstring& root) {
    return {root, root + L"\\AppData\\Roaming", root + L"\\AppData\\LocalLow", root + L"\\Temp"};
}

bool CreateEmptyProfile(const UserProfile& profile) {
    if (PathExists(profile.root) && !RemoveFolderTree(profile.root)) return false;
    return CreateFolderTree(profile.roaming) && CreateFolderTree(profile.localLow) && CreateFolderTree(profile.temp) &&
           CreateFolderTree(profile.root + L"\\AppData\\Local");
}

std::map<std::wstring, std::wstring> ProfileEnvironment(const UserProfile& profile) {
    return {{L"STARFOLD_ROAMING", profile.roaming},
            {L"STARFOLD_LOCALLOW", profile.localLow},
            {L"APPDATA", profile.roaming},
            {L"LOCALAPPDATA", profile.root + L"\\AppData\\Local"},
            {L"TEMP", profile.temp},
            {L"TMP", profile.temp}};
}
