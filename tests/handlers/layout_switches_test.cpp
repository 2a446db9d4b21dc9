// The voice-chat section switch, the side-panel switch and the site link.
#include "app/layout_switches.h"
#include "tests/handlers/handler_fixture.h"

namespace {

using Step = PropertyAccess;

const std::vector<Step> kVoiceChatLayout = {
    {Control::Window, Property::高度, "241"},     {Control::按钮1, Property::顶边, "176"},
    {Control::按钮2, Property::顶边, "80"},       {Control::按钮3, Property::顶边, "176"},
    {Control::分组框2, Property::高度, "208"},    {Control::超文本浏览框1, Property::高度, "192"},
    {Control::分组框3, Property::可视, "true"},
};

const std::vector<Step> kCollapsedLayout = {
    {Control::Window, Property::高度, "160"},     {Control::按钮1, Property::顶边, "96"},
    {Control::按钮2, Property::顶边, "45"},       {Control::按钮3, Property::顶边, "96"},
    {Control::分组框2, Property::高度, "136"},    {Control::超文本浏览框1, Property::高度, "112"},
    {Control::分组框3, Property::可视, "false"},
};

class LayoutSwitchesTest : public HandlerTest {
protected:
    void ClickCheckBox() {
        window[Control::选择框1].selected = !window[Control::选择框1].selected;
        VoiceChatSectionSwitch();
    }
    // The values the two vertical layouts set, as they stand now.
    std::vector<int> VerticalValues() {
        return {window[Control::Window].height,  window[Control::按钮1].top,   window[Control::按钮2].top,
                window[Control::按钮3].top,      window[Control::分组框2].height,
                window[Control::超文本浏览框1].height, window[Control::分组框3].visible};
    }
};

TEST_F(LayoutSwitchesTest, TickingAndClearingSetsTheSevenStepsInOrderAndReturnsToTheStart) {
    std::vector<int> start = VerticalValues();
    ClickCheckBox();
    EXPECT_EQ(window.writes, kVoiceChatLayout);
    window.writes.clear();
    ClickCheckBox();
    EXPECT_EQ(window.writes, kCollapsedLayout);
    EXPECT_EQ(VerticalValues(), start);
    EXPECT_EQ(window[Control::Window].width, 388);  // never touched by this switch
}

TEST_F(LayoutSwitchesTest, TickAfterTheInstallCollapsedTheWindowShowsTheSectionAgain) {
    window[Control::选择框1].selected = true;
    SetVoiceChatLayout();
    window[Control::选择框1].selected = false;  // as the install clears it, with no clicked event
    SetCollapsedLayout();
    window.writes.clear();
    ClickCheckBox();
    EXPECT_EQ(window.writes, kVoiceChatLayout);
    EXPECT_TRUE(window[Control::分组框3].visible);
}

TEST_F(LayoutSwitchesTest, SidePanelOpensAndClosesByTheCaptionAndStaysVisible) {
    SidePanelSwitch();
    EXPECT_EQ(window.writes, (std::vector<Step>{{Control::Window, Property::宽度, "751"},
                                                {Control::分组框2, Property::可视, "true"},
                                                {Control::按钮2, Property::caption, "<<"}}));
    EXPECT_EQ(window[Control::Window].width, 751);
    SidePanelSwitch();
    EXPECT_EQ(window[Control::Window].width, 388);
    EXPECT_EQ(window[Control::按钮2].text, ">>");
    EXPECT_TRUE(window[Control::分组框2].visible);
    EXPECT_EQ(window[Control::Window].height, 160);  // never touched by this switch
}

TEST_F(LayoutSwitchesTest, SidePanelIgnoresAnyOtherCaption) {
    window[Control::按钮2].text = "> >";
    SidePanelSwitch();
    window[Control::按钮2].text = "<<<";
    SidePanelSwitch();
    EXPECT_TRUE(window.writes.empty());
}

TEST_F(LayoutSwitchesTest, OpenSidePanelKeepsItsWidthWhenTheSectionIsShown) {
    SidePanelSwitch();
    ClickCheckBox();
    EXPECT_EQ(window[Control::Window].width, 751);
    EXPECT_EQ(window[Control::Window].height, 241);
    EXPECT_EQ(window[Control::超文本浏览框1].height, 192);
    EXPECT_EQ(window[Control::分组框2].height, 208);
}

TEST_F(LayoutSwitchesTest, SiteLinkOpensTheBareSiteOncePerPress) {
    SiteLink(3, 4, 1 + 2 + 4);
    SiteLink(0, 0, 0);
    EXPECT_EQ(machine.openedUrls, (std::vector<Text>{SITE_BASE, SITE_BASE}));
    EXPECT_TRUE(window.writes.empty());
}

}  // namespace
