#include "driver/installer_session.h"

#include "support/site.h"
#include "tests/win32/files.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/waiting.h"
#include "tests/win32/wide_utf8.h"

#include <algorithm>

std::wstring SiteOrigin() { return WideFromUtf8(SITE_BASE); }

int ReleasedBlocks(const std::wstring& line) {
    const size_t prefix = wcslen(kExitHandlerLine);
    const size_t end = line.find_first_not_of(L"0123456789", prefix);  // of the digits behind the prefix
    if (line.compare(0, prefix, kExitHandlerLine) != 0 || end == prefix || end == std::wstring::npos) return -1;
    return line.substr(end) == L" blocks" ? std::stoi(line.substr(prefix, end - prefix)) : -1;
}

InstallerSession::InstallerSession(std::wstring folder) : folder_(std::move(folder)), profile_(ProfileIn(folder_ + L"\\profile")) {}

InstallerSession::~InstallerSession() { process_.Terminate(); }

bool InstallerSession::PrepareProfile() {
    if (!CreateFolderTree(folder_) || !CreateEmptyProfile(profile_)) return false;
    DeleteFileW(UrlRecordPath().c_str());
    return true;
}

bool InstallerSession::Launch(const std::wstring& program, std::wstring* problem) {
    LaunchRequest request{program, L"", L"", ProfileEnvironment(profile_)};
    request.variables[L"STARFOLD_URL_RECORD"] = UrlRecordPath();
    return process_.Start(request, problem);
}

HWND InstallerSession::WaitForMainWindow(DWORD timeoutMs) {
    WaitUntil(timeoutMs, [&] {
        std::vector<HWND> found = TopLevelWindows(process_.ProcessId(), STARFOLD_WINDOW_CLASS, STARFOLD_WINDOW_TITLE);
        mainWindow_ = found.empty() ? nullptr : found.front();
        return mainWindow_ != nullptr || process_.HasExited();
    });
    return mainWindow_;
}

HWND InstallerSession::ControlWindow(Control control) const {
    if (control == Control::Window) return mainWindow_;
    return mainWindow_ ? FindControl(mainWindow_, ControlId(control)) : nullptr;
}

ControlState InstallerSession::Read(Control control) const {
    HWND window = ControlWindow(control);
    return window ? ReadControl(window) : ControlState{};
}

std::optional<MessageBoxState> InstallerSession::NextBox(DWORD timeoutMs, IconCheck icon) {
    // A box that has closed may leave its handle to a later one.
    auto closed = [](HWND box) { return !IsWindow(box) || !IsWindowVisible(box); };
    boxesSeen_.erase(std::remove_if(boxesSeen_.begin(), boxesSeen_.end(), closed), boxesSeen_.end());
    std::optional<MessageBoxState> box = WaitForMessageBox(process_.ProcessId(), timeoutMs, boxesSeen_, icon);
    if (box) boxesSeen_.push_back(box->handle);
    return box;
}

std::vector<std::string> InstallerSession::OpenedAddresses() const { return ReadLines(UrlRecordPath()); }

std::vector<std::wstring> InstallerSession::ExitHandlerLines() const {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : process_.DebugLines())
        if (line.compare(0, wcslen(kExitHandlerLine), kExitHandlerLine) == 0) lines.push_back(line);
    return lines;
}

std::wstring InstallerSession::Screenshot(const std::wstring& name) const {
    std::wstring shots = folder_ + L"\\shots";
    std::wstring path = shots + L"\\" + name + L".png";
    // Moved or shown controls paint once the installer's queue is idle; give
    // it a moment rather than forcing a repaint, so the picture shows what a
    // person would see.
    Sleep(150);
    if (!CreateFolderTree(shots) || !SavePng(CaptureWholeScreen(), path)) return {};
    return path;
}
