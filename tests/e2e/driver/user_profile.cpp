#include "driver/user_profile.h"

#include "tests/win32/files.h"

#include <windows.h>

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kLocalLowValue[] = L"{A520A1A4-1780-4FF6-BD18-167343C5AF16}";

bool SetFolderValue(const wchar_t* name, const std::wstring& value, DWORD type) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, name, type, value.c_str(),
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

bool RedirectUserFolders(const UserProfile& profile) {
    return SetFolderValue(L"AppData", profile.roaming, REG_SZ) && SetFolderValue(kLocalLowValue, profile.localLow, REG_SZ);
}

bool RestoreUserFolders() {
    bool roaming = SetFolderValue(L"AppData", L"%USERPROFILE%\\AppData\\Roaming", REG_EXPAND_SZ);
    return SetFolderValue(kLocalLowValue, L"%USERPROFILE%\\AppData\\LocalLow", REG_EXPAND_SZ) && roaming;
}

std::map<std::wstring, std::wstring> ProfileEnvironment(const UserProfile& profile) {
    return {{L"APPDATA", profile.roaming},
            {L"LOCALAPPDATA", profile.root + L"\\AppData\\Local"},
            {L"TEMP", profile.temp},
            {L"TMP", profile.temp}};
}
