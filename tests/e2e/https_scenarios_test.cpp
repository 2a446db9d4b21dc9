// An install from an https address: the demo site's TLS listener, whose
// certificate for localhost comes from the test CA that the prefix trusts.
#include "e2e_paths.h"
#include "install_scenario.h"
#include "tests/win32/wide_utf8.h"

namespace {

TEST_F(InstallScenario, AListFromAnHttpsAddressTypedIntoTheSourceBoxIsWrittenByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    const std::string path = "/Lanternkit/serverlist.json?over=tls";
    ASSERT_NO_FATAL_FAILURE(Type(Control::编辑框1, WideFromUtf8(STARFOLD_E2E_SITE_TLS_ORIGIN + path)));
    ASSERT_NO_FATAL_FAILURE(InstallFetching(InstallReport(DemoList()), {path}));
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

}  // namespace
