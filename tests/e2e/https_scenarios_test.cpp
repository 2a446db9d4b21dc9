// An install from an https address: the demo site's TLS listener, whose
// certificate for localhost comes from the test CA that the prefix trusts.
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"
#include "tests/win32/window_reading.h"
#include "e2e_paths.h"
#include "install_scenario.h"

namespace {

TEST_F(InstallScenario, AListFromAnHttpsAddressTypedIntoTheSourceBoxIsWrittenByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    HWND edit = session_->ControlWindow(Control::编辑框1);
    const std::string path = "/Lanternkit/serverlist.json?over=tls";
    const std::wstring typed = WideFromUtf8(STARFOLD_E2E_SITE_TLS_ORIGIN + path);
    ASSERT_TRUE(PostTyping(edit, typed));
    ASSERT_TRUE(WaitUntil(kStepTimeoutMs, [&] { return WindowText(edit) == typed; }));
    const size_t mark = RequestMark();
    ASSERT_NO_FATAL_FAILURE(Install(InstallReport(DemoList())));
    EXPECT_EQ(RequestsSince(mark), std::vector<std::string>{path});
    ExpectFile(RegionFile(), DemoList());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(2));
}

}  // namespace
