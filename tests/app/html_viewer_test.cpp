// The HTML viewer moves and hides with its group box, and navigating never
// blocks, prompts or crashes, with or without a browser engine.
#include "app/html_viewer.h"
#include "model/properties.h"
#include "tests/app/window_fixture.h"

namespace {

using HtmlViewerTest = MainWindowTest;

// Visible top-level windows of this process other than the main window: a
// prompt or an error box would be one.
std::vector<HWND> OtherVisibleWindows() {
    std::vector<HWND> windows;
    for (HWND window : TopLevelWindows(GetCurrentProcessId()))
        if (window != MainWindow() && IsWindowVisible(window)) windows.push_back(window);
    return windows;
}

TEST_F(HtmlViewerTest, ViewerHidesAndMovesWithTheSidePanel) {
    HWND viewer = Handle(Control::超文本浏览框1);
    HWND panel = Handle(Control::分组框2);
    EXPECT_FALSE(IsWindowVisible(viewer));
    SetLogicalProperty(Control::分组框2, Property::可视, true);
    EXPECT_TRUE(IsWindowVisible(viewer));

    RECT before, after;
    GetWindowRect(viewer, &before);
    SetIntegerProperty(Control::分组框2, Property::左边, 300);
    GetWindowRect(viewer, &after);
    EXPECT_EQ(after.left - before.left, 300 - FindTemplate(Control::分组框2)->left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(PlaceOf(Control::超文本浏览框1).left, 0);
    EXPECT_EQ(GetParent(viewer), panel);

    SetLogicalProperty(Control::分组框2, Property::可视, false);
    EXPECT_FALSE(IsWindowVisible(viewer));
}

TEST_F(HtmlViewerTest, NavigatingToAnUnreachableAddressNeitherBlocksNorPrompts) {
    SetLogicalProperty(Control::分组框2, Property::可视, true);
    SetIntegerProperty(Control::Window, Property::宽度, 751);
    const Text address = "http://127.0.0.1:9/Lanternkit/SourceInfo.html";
    DWORD start = GetTickCount();
    SetTextProperty(Control::超文本浏览框1, Property::地址, address);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(GetTextProperty(Control::超文本浏览框1, Property::地址), address);

    PumpMessages(1500);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0);
    EXPECT_TRUE(OtherVisibleWindows().empty());

    SetTextProperty(Control::超文本浏览框1, Property::地址, "about:blank");
    PumpMessages(300);
    EXPECT_EQ(GetTextProperty(Control::超文本浏览框1, Property::地址), "about:blank");
    EXPECT_TRUE(OtherVisibleWindows().empty());
    EXPECT_TRUE(HandlerCalls().empty());
}

#ifndef STARFOLD_VIEWER_WITHOUT_ENGINE
TEST_F(HtmlViewerTest, TheEmbeddedBrowserFillsTheViewerAndFollowsItsSize) {
    SetTextProperty(Control::超文本浏览框1, Property::地址, "about:blank");
    PumpMessages(200);
    ASSERT_TRUE(HtmlViewerHasBrowser());
    HWND viewer = Handle(Control::超文本浏览框1);
    HWND browser = GetWindow(viewer, GW_CHILD);
    ASSERT_NE(browser, nullptr);
    SetIntegerProperty(Control::超文本浏览框1, Property::高度, 192);
    RECT inner = {};
    GetClientRect(viewer, &inner);
    EXPECT_EQ(inner.bottom, 192);
    EXPECT_EQ(ReadControl(browser).placement, (Placement{0, 0, inner.right, inner.bottom}));
}
#else
// Built into a test program that runs with the browser library disabled.
TEST_F(HtmlViewerTest, WithoutAnEngineTheViewerStaysAnEmptyPanel) {
    SetTextProperty(Control::超文本浏览框1, Property::地址, "about:blank");
    SetTextProperty(Control::超文本浏览框1, Property::地址, "http://127.0.0.1:9/");
    PumpMessages(200);
    EXPECT_FALSE(HtmlViewerHasBrowser());
    EXPECT_EQ(GetWindow(Handle(Control::超文本浏览框1), GW_CHILD), nullptr);
    EXPECT_EQ(GetTextProperty(Control::超文本浏览框1, Property::地址), "http://127.0.0.1:9/");
}
#endif

}  // namespace
