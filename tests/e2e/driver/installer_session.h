// One run of the installer under the driver: its own profile and address
// record, the process as a debuggee, its main window and controls, and the
// message boxes it shows one after another.
#pragma once

#include "app/window_ids.h"
#include "driver/site_control.h"
#include "driver/user_profile.h"
#include "support/win32/wide_text.h"
#include "tests/win32/debugged_process.h"
#include "tests/win32/message_boxes.h"
#include "tests/win32/window_reading.h"

#include <optional>
#include <string>
#include <vector>

// The line the installer writes when its exit handler runs.
inline constexpr wchar_t kExitHandlerLine[] = L"StarfoldCommunityInstaller: exit handler released ";

// The community site's origin the installer was built with, as UTF-16.
std::wstring SiteOrigin();

class InstallerSession {
public:
    // folder: the session's own folder (profile, address record, screenshots).
    explicit InstallerSession(std::wstring folder);
    // Ends the installer if it still runs.
    ~InstallerSession();

    // An empty profile, which the installer is given at its launch.
    bool PrepareProfile();
    const UserProfile& Profile() const { return profile_; }
    // The folders the next launch is given, in place of the empty profile's.
    void UseProfile(const UserProfile& profile) { profile_ = profile; }
    const std::wstring& Folder() const { return folder_; }
    std::wstring UrlRecordPath() const { return folder_ + L"\\urls.txt"; }

    bool Launch(const std::wstring& program, std::wstring* problem);
    DebuggedProcess& Process() { return process_; }

    // The main window (by class, title and process), shown or not yet.
    HWND WaitForMainWindow(DWORD timeoutMs);
    HWND MainWindow() const { return mainWindow_; }
    HWND ControlWindow(Control control) const;
    ControlState Read(Control control) const;

    // The next box the installer shows (boxes already returned do not count).
    std::optional<MessageBoxState> NextBox(DWORD timeoutMs, IconCheck icon = IconCheck::Look);

    // The addresses the installer handed to the browser, one a line.
    std::vector<std::string> OpenedAddresses() const;
    // The exit handler's lines so far, and the counts they name.
    std::vector<std::wstring> ExitHandlerLines() const;

    // A PNG of the whole screen in the session's folder; its path, or empty.
    std::wstring Screenshot(const std::wstring& name) const;

private:
    std::wstring folder_;
    UserProfile profile_;
    DebuggedProcess process_;
    HWND mainWindow_ = nullptr;
    std::vector<HWND> boxesSeen_;
};

// The count of blocks named by an exit-handler line, -1 when it is not one.
int ReleasedBlocks(const std::wstring& line);
