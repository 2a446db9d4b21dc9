// The property interface on the real window, written and read back both
// through it and through Windows.
#include "app/properties.h"
#include "tests/app/window_fixture.h"

namespace {

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectPlace(const RECT& rect, int left, int top, int width, int height) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

using PropertyInterfaceTest = MainWindowTest;

TEST_F(PropertyInterfaceTest, GeometryReadsInTheParentsClientArea) {
    EXPECT_EQ(GetIntegerProperty(Control::编辑框2, Property::左边), 16);
    EXPECT_EQ(GetIntegerProperty(Control::编辑框2, Property::顶边), 24);
    EXPECT_EQ(GetIntegerProperty(Control::按钮2, Property::左边), 356);
    EXPECT_EQ(GetIntegerProperty(Control::按钮2, Property::顶边), 45);
    EXPECT_EQ(GetIntegerProperty(Control::分组框2, Property::宽度), 360);
    EXPECT_EQ(GetIntegerProperty(Control::超文本浏览框1, Property::高度), 112);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::宽度), 388);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::高度), 160);
}

TEST_F(PropertyInterfaceTest, WindowSizeKeepsItsCornerAndTheOtherDimension) {
    HWND window = MainWindow();
    RECT before = ScreenRect(window);
    SetIntegerProperty(Control::Window, Property::宽度, 751);
    ExpectPlace(ScreenRect(window), before.left, before.top, 751, 160);

    SetIntegerProperty(Control::Window, Property::高度, 241);
    ExpectPlace(ScreenRect(window), before.left, before.top, 751, 241);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::宽度), 751);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::高度), 241);
}

TEST_F(PropertyInterfaceTest, ControlSizeAndTopChangeOnlyWhatTheyName) {
    SetIntegerProperty(Control::分组框2, Property::高度, 208);
    ExpectPlace(PlaceInParent(Handle(Control::分组框2)), 384, 0, 360, 208);

    SetIntegerProperty(Control::超文本浏览框1, Property::高度, 192);
    ExpectPlace(PlaceInParent(Handle(Control::超文本浏览框1)), 0, 16, 360, 192);

    SetIntegerProperty(Control::按钮1, Property::顶边, 176);
    ExpectPlace(PlaceInParent(Handle(Control::按钮1)), 64, 176, 112, 32);
    EXPECT_EQ(GetIntegerProperty(Control::按钮1, Property::顶边), 176);

    SetIntegerProperty(Control::分组框2, Property::左边, 380);
    ExpectPlace(PlaceInParent(Handle(Control::分组框2)), 380, 0, 360, 208);
}

TEST_F(PropertyInterfaceTest, VisibleShowsAndHidesAGroupBoxWithItsChildren) {
    HWND voiceEdit = Handle(Control::编辑框2);
    EXPECT_FALSE(GetLogicalProperty(Control::分组框3, Property::可视));
    EXPECT_TRUE(GetLogicalProperty(Control::编辑框2, Property::可视)) << "visible itself, inside a hidden box";
    EXPECT_FALSE(IsWindowVisible(voiceEdit));

    SetLogicalProperty(Control::分组框3, Property::可视, true);
    EXPECT_TRUE(GetLogicalProperty(Control::分组框3, Property::可视));
    EXPECT_TRUE(IsWindowVisible(voiceEdit));

    SetLogicalProperty(Control::分组框3, Property::可视, false);
    EXPECT_FALSE(IsWindowVisible(Handle(Control::分组框3)));
    EXPECT_FALSE(IsWindowVisible(voiceEdit));
    EXPECT_TRUE(GetLogicalProperty(Control::编辑框2, Property::可视));
}

TEST_F(PropertyInterfaceTest, DisabledStopsInputAndReadsBack) {
    HWND button = Handle(Control::按钮1);
    SetLogicalProperty(Control::按钮1, Property::禁止, true);
    EXPECT_FALSE(IsWindowEnabled(button));
    EXPECT_TRUE(GetLogicalProperty(Control::按钮1, Property::禁止));
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(HandlerCalls().empty()) << "a disabled button raises no click";

    SetLogicalProperty(Control::按钮1, Property::禁止, false);
    EXPECT_TRUE(IsWindowEnabled(button));
    EXPECT_FALSE(GetLogicalProperty(Control::按钮1, Property::禁止));
}

TEST_F(PropertyInterfaceTest, TextsGoToWindowsAsUtf16AndComeBackAsGbk) {
    SetTextProperty(Control::按钮1, Property::caption, "安装中...");
    EXPECT_EQ(TextOf(Handle(Control::按钮1)), L"安装中...");
    EXPECT_EQ(GetTextProperty(Control::按钮1, Property::caption), "安装中...");

    SetTextProperty(Control::编辑框1, Property::content, "http://例子.cn/服务器列表.json");
    EXPECT_EQ(TextOf(Handle(Control::编辑框1)), L"http://例子.cn/服务器列表.json");

    // What the user typed may hold characters GBK has no form for.
    SetWindowTextW(Handle(Control::编辑框2), L"http://\u0e01\u0e02.example/\u4e2d");
    EXPECT_EQ(GetTextProperty(Control::编辑框2, Property::content), "http://??.example/中");

    SetTextProperty(Control::编辑框2, Property::content, "");
    EXPECT_EQ(GetTextProperty(Control::编辑框2, Property::content), "");
}

TEST_F(PropertyInterfaceTest, SelectedTicksWithoutAClickWhileAUserClickRaisesOne) {
    HWND box = Handle(Control::选择框1);
    SetLogicalProperty(Control::选择框1, Property::selected, true);
    PumpMessages();
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(GetLogicalProperty(Control::选择框1, Property::selected));
    EXPECT_TRUE(HandlerCalls().empty());

    // The handler reads the box after the click has changed it.
    bool seenInHandler = true;
    WhileHandlerRuns("VoiceChatSectionSwitch",
                     [&] { seenInHandler = GetLogicalProperty(Control::选择框1, Property::selected); });
    SendMessageW(box, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(HandlerNames(), std::vector<std::string>{"VoiceChatSectionSwitch"});
    EXPECT_FALSE(seenInHandler);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SetLogicalProperty(Control::选择框1, Property::selected, false);
    PumpMessages();
    EXPECT_EQ(HandlerCalls().size(), 1u);
}

TEST_F(PropertyInterfaceTest, TagIsKeptPerControl) {
    SetTextProperty(Control::按钮1, Property::标记, "甲");
    SetTextProperty(Control::按钮3, Property::标记, "乙");
    EXPECT_EQ(GetTextProperty(Control::按钮1, Property::标记), "甲");
    EXPECT_EQ(GetTextProperty(Control::按钮3, Property::标记), "乙");
}

}  // namespace
