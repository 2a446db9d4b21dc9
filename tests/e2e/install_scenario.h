// The frame of the install and uninstall scenarios: the region file and the
// Voxbridge configuration in the scenario's profile, the boxes the two
// commands show, and the steps of driving them.
#pragma once

#include "scenario.h"
#include "tests/win32/files.h"

#include <optional>
#include <string>
#include <vector>

inline const ExpectedBox kListError = {
    L"错误！", L"未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kNotAList = {
    L"错误！", L"安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kInstallFailed = {
    L"安装结果：", L"安装失败，请重试。若再次失败请检查文件权限或寻求帮助！", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kVoxbridgeMissing = {
    L"错误!", L"您尚未安装Voxbridge,请安装Voxbridge并运行一次后再尝试安装Voxbridge社区服！", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kConfigUnrecognised = {
    L"错误！", L"未能识别Voxbridge配置文件的格式，Voxbridge配置未作修改。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kAddressUnusable = {
    L"错误！", L"未能获取有效的Voxbridge社区服地址，Voxbridge配置未作修改。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kConfigUnwritable = {
    L"错误！", L"Voxbridge配置文件写入失败，请检查文件权限后重试。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kUninstalled = {L"卸载结果：", L"卸载成功。", BoxIcon::Warning, {IDOK}};
inline const ExpectedBox kUninstalledAndPutBack = {L"卸载结果：", L"卸载成功，已恢复安装前的社区服列表。", BoxIcon::Warning, {IDOK}};
inline const ExpectedBox kNotUninstalled = {L"卸载结果：", L"卸载失败，请检查权限或未曾安装。", BoxIcon::Error, {IDOK}};
inline const ExpectedBox kNothingInstalled = {L"卸载结果：", L"未曾安装社区服列表，无需卸载。", BoxIcon::Warning, {IDOK}};

class InstallScenario : public InstallerScenario {
protected:
    std::wstring GameFolder() const { return session_->Profile().localLow + L"\\Mossgrove\\Starfold"; }
    std::wstring RegionFile() const { return GameFolder() + L"\\regionInfo.json"; }
    std::wstring VoxbridgeFolder() const { return session_->Profile().roaming + L"\\voxbridge"; }
    std::wstring ConfigFile() const { return VoxbridgeFolder() + L"\\config.json"; }

    void WriteConfig(const std::string& bytes);
    void WriteRegionFile(const std::string& bytes);
    void StartAndAnswer();

    // Clicks 按钮1 and expects the one box the command shows, while the
    // command still runs (按钮1 busy), after any wait of the installer's own;
    // answers it and waits until 按钮1 is idle again.
    void Install(const ExpectedBox& box, DWORD installerWaitMs = 0);
    void Uninstall(const ExpectedBox& box) { ClickAndAnswer(Control::按钮3, box); }
    void TickVoiceChatOption();

    // 按钮1 reads disabled with the caption "安装中...", or enabled with
    // "安装". Read without asking the installer, whose thread may be in a download.
    bool InstallButtonIsBusy();
    void ExpectInstallButtonIdle();

    // The file holds exactly these bytes.
    void ExpectFile(const std::wstring& path, const std::string& bytes);
    // The folder holds these names and nothing else: no temporary file was left behind.
    void ExpectFolderHolds(const std::wstring& folder, std::vector<std::wstring> names);

    // Install, and the paths the site was asked for meanwhile are these, in this order.
    void InstallFetching(const ExpectedBox& box, const std::vector<std::string>& fetched, DWORD installerWaitMs = 0);
};

// The demo site's server list, the one installed unless a scenario serves another.
std::string DemoList();
