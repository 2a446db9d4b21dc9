// The property interface on the real window, written and read back both
// through it and through Windows.
#include "model/properties.h"
#include "tests/app/window_fixture.h"

namespace {

class PropertyInterfaceTest : public MainWindowTest {
protected:
    // Sets the property; of the control's place only the member `changed` follows it.
    void ExpectOnlyChanged(Control control, Property property, int value, int Placement::*changed) {
        Placement expected = PlaceOf(control);
        expected.*changed = value;
        SetIntegerProperty(control, property, value);
        EXPECT_EQ(PlaceOf(control), expected) << ControlId(control);
    }
};

TEST_F(PropertyInterfaceTest, GeometryReadsInTheParentsClientArea) {
    for (const ControlTemplate& row : ControlTemplates()) {
        SCOPED_TRACE(ControlId(row.control));
        EXPECT_EQ(GetIntegerProperty(row.control, Property::左边), row.left);
        EXPECT_EQ(GetIntegerProperty(row.control, Property::顶边), row.top);
        EXPECT_EQ(GetIntegerProperty(row.control, Property::宽度), row.width);
        EXPECT_EQ(GetIntegerProperty(row.control, Property::高度), row.height);
    }
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::宽度), MainWindowTemplate().width);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::高度), MainWindowTemplate().height);
}

TEST_F(PropertyInterfaceTest, WindowSizeKeepsItsCornerAndTheOtherDimension) {
    ExpectOnlyChanged(Control::Window, Property::宽度, 751, &Placement::width);
    ExpectOnlyChanged(Control::Window, Property::高度, 241, &Placement::height);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::宽度), 751);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::高度), 241);
}

TEST_F(PropertyInterfaceTest, ControlSizeAndTopChangeOnlyWhatTheyName) {
    ExpectOnlyChanged(Control::分组框2, Property::高度, 208, &Placement::height);
    ExpectOnlyChanged(Control::超文本浏览框1, Property::高度, 192, &Placement::height);
    ExpectOnlyChanged(Control::按钮1, Property::顶边, 176, &Placement::top);
    EXPECT_EQ(GetIntegerProperty(Control::按钮1, Property::顶边), 176);
    ExpectOnlyChanged(Control::分组框2, Property::左边, 380, &Placement::left);
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
    EXPECT_EQ(StoredWindowText(Handle(Control::按钮1)), L"安装中...");
    EXPECT_EQ(GetTextProperty(Control::按钮1, Property::caption), "安装中...");

    SetTextProperty(Control::编辑框1, Property::content, "http://例子.cn/服务器列表.json");
    EXPECT_EQ(StoredWindowText(Handle(Control::编辑框1)), L"http://例子.cn/服务器列表.json");

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
