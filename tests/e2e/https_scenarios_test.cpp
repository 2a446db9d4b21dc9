// Installs over other ways through the network: an https address, whose
// certificate for localhost comes from the test CA that the prefix trusts,
// and the system's proxy.
#include "e2e_paths.h"
#include "install_scenario.h"
#include "tests/win32/wide_utf8.h"

#include <algorithm>

namespace {

TEST_F(InstallScenario, AListFromAnHttpsAddressTypedIntoTheSourceBoxIsWrittenByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    const std::string path = "/Lanternkit/serverlist.json?over=tls";
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, WideFromUtf8(STARFOLD_E2E_SITE_TLS_ORIGIN + path)));
    ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(DemoList()), {path}));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// A list asked for over TLS and redirected to plain http could come from
// anyone on the path: the install refuses it, though it arrived. The other
// way, from http to https, the list is installed.
TEST_F(InstallScenario, AListRedirectedFromHttpsToHttpIsRefusedAndOneFromHttpToHttpsInstalled) {
    const std::string list = "/Lanternkit/serverlist.json";
    const std::string toClear = "/__test/redirect/to-clear?to=" + Utf8(SiteOrigin()) + list;
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(WriteRegionFile("the player's own"));
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, WideFromUtf8(STARFOLD_E2E_SITE_TLS_ORIGIN + toClear)));
    ASSERT_NO_FATAL_FAILURE(InstallFetching(kListError, {toClear, list}));
    ExpectFile(RegionFile(), "the player's own");
    ExpectFolderHolds(GameFolder(), {L"regionInfo.json"});

    const std::string toTls = "/__test/redirect/to-tls?to=" STARFOLD_E2E_SITE_TLS_ORIGIN + list;
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, SiteOrigin() + WideFromUtf8(toTls)));
    ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(DemoList()), {toTls, list}));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

// The system's proxy as a proxy tool sets it, in the prefix's registry, which
// a Wine program reads when it opens its internet handle. Taken away at the
// end, and by the fixture e2e.proxy.restore whatever happens.
class SystemProxy {
public:
    explicit SystemProxy(const std::wstring& server) {
        Set(1);
        RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, L"ProxyServer", REG_SZ, server.c_str(),
                        static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    }
    ~SystemProxy() { Set(0); }

private:
    static constexpr wchar_t kSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    static void Set(DWORD enabled) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, L"ProxyEnable", REG_DWORD, &enabled, sizeof enabled);
    }
};

// The demo site is the proxy, and the list's host a name that resolves
// nowhere: only the proxy can reach it.
TEST_F(InstallScenario, BehindTheSystemsProxyAListThatOnlyTheProxyCanReachIsInstalled) {
    const std::string origin = Utf8(SiteOrigin()), path = "/behind-the-proxy/serverlist.json";
    SystemProxy proxy(WideFromUtf8(origin.substr(origin.find("//") + 2)));
    ASSERT_TRUE(site_->Serve(path, {DemoList()}));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AnswerStartupBoxes());
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, WideFromUtf8("http://starfold-list.invalid" + path)));
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
    // The proxy records each target as it came. Wine's WinInet sends loopback
    // addresses through the proxy too (Windows' goes direct): the version
    // check, the first fetch, followed the proxy already.
    std::vector<std::string> requests = SiteRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), origin + "/Lanternkit/versioninfo.json");
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "http://starfold-list.invalid:80" + path), 1);
}

}  // namespace
