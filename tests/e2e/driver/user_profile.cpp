#include "driver/user_profile.h"

#include "tests/win32/files.h"

#include <windows.h>

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

bool SetRoamingValue(const std::wstring& value, DWORD type) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", type, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

UserProfile ProfileIn(const std::wstring& root) {
    return {root, root + L"\\AppData\\Roaming", root + L"\\AppData\\LocalLow", root + L"\\Temp"};
}

bool CreateEmptyProfile(const UserProfile& profile) {
    if (PathExists(profile.root) && !RemoveFolderTree(profile.root)) return false;
    return CreateFolderTree(profile.roaming) && CreateFolderTree(profile.localLow) && CreateFolderTree(profile.temp) &&
           CreateFolderTree(profile.root + L"\\AppData\\Local");
}

bool RedirectRoamingFolder(const UserProfile& profile) { return SetRoamingValue(profile.roaming, REG_SZ); }

bool RestoreRoamingFolder() { return SetRoamingValue(L"%USERPROFILE%\\AppData\\Roaming", REG_EXPAND_SZ); }

std::map<std::wstring, std::wstring> ProfileEnvironment(const UserProfile& profile) {
    return {
        {L"APPDATA", profile.roaming},
        {L"LOCALAPPDATA", profile.root + L"\\AppData\\Local"},
        {L"TEMP", profile.temp},
        {L"TMP", profile.temp},
    };
}
