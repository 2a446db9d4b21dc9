// The voice-chat section switch, the side-panel switch and the site link.
#include "app/window_template.h"
#include "model/layout_switches.h"
#include "tests/handlers/handler_fixture.h"

namespace {

using Step = PropertyAccess;

// The seven steps of a vertical layout, in their order.
const std::vector<std::pair<Control, Property>> kVerticalSteps = {
    {Control::Window, Property::高度},  {Control::按钮1, Property::顶边},         {Control::按钮2, Property::顶边},
    {Control::按钮3, Property::顶边},   {Control::分组框2, Property::高度},       {Control::超文本浏览框1, Property::高度},
    {Control::分组框3, Property::可视},
};

std::vector<std::pair<Control, Property>> StepsOf(const std::vector<Step>& writes) {
    std::vector<std::pair<Control, Property>> steps;
    for (const Step& write : writes) steps.push_back({write.control, write.property});
    return steps;
}

class LayoutSwitchesTest : public HandlerTest {
protected:
    void ClickCheckBox() {
        window[Control::选择框1].selected = !window[Control::选择框1].selected;
        VoiceChatSectionSwitch();
    }
    // The values of the seven steps as they stand now.
    std::vector<int> VerticalValues() {
        std::vector<int> values;
        for (const auto& [control, property] : kVerticalSteps) {
            FakeControl& c = window[control];
            values.push_back(property == Property::顶边 ? c.top : property == Property::高度 ? c.height : c.visible);
        }
        return values;
    }
};

// The values themselves are the program's layout table, checked on the
// running installer; here the switch sets them whole, in order, and back.
TEST_F(LayoutSwitchesTest, TickingAndClearingSetsTheSevenStepsInOrderAndReturnsToTheStart) {
    std::vector<int> start = VerticalValues();
    ClickCheckBox();
    EXPECT_EQ(window.writes, LayoutWrites(SetVoiceChatLayout));
    EXPECT_EQ(StepsOf(window.writes), kVerticalSteps);
    std::vector<int> ticked = VerticalValues();
    for (size_t step = 0; step < start.size(); ++step) EXPECT_NE(ticked[step], start[step]) << "step " << step + 1;
    window.writes.clear();
    ClickCheckBox();
    EXPECT_EQ(window.writes, LayoutWrites(SetCollapsedLayout));
    EXPECT_EQ(StepsOf(window.writes), kVerticalSteps);
    EXPECT_EQ(VerticalValues(), start);
    EXPECT_EQ(window[Control::Window].width, MainWindowTemplate().width);  // never touched by this switch
}

TEST_F(LayoutSwitchesTest, TickAfterTheInstallCollapsedTheWindowShowsTheSectionAgain) {
    const std::vector<Step> voiceChat = LayoutWrites(SetVoiceChatLayout);
    window[Control::选择框1].selected = true;
    SetVoiceChatLayout();
    window[Control::选择框1].selected = false;  // as the install clears it, with no clicked event
    SetCollapsedLayout();
    window.writes.clear();
    ClickCheckBox();
    EXPECT_EQ(window.writes, voiceChat);
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
    EXPECT_EQ(window[Control::Window].height, MainWindowTemplate().height);  // never touched by this switch
}

TEST_F(LayoutSwitchesTest, SidePanelIgnoresAnyOtherCaption) {
    window[Control::按钮2].text = "> >";
    SidePanelSwitch();
    window[Control::按钮2].text = "<<<";
    SidePanelSwitch();
    EXPECT_TRUE(window.writes.empty());
}

TEST_F(LayoutSwitchesTest, OpenSidePanelKeepsItsWidthWhenTheSectionIsShown) {
    ClickCheckBox();
    const std::vector<int> ticked = VerticalValues();
    ClickCheckBox();
    SidePanelSwitch();
    ClickCheckBox();
    EXPECT_EQ(window[Control::Window].width, 751);
    EXPECT_EQ(VerticalValues(), ticked) << "the side panel grows with the window as without it";
}

TEST_F(LayoutSwitchesTest, SiteLinkOpensTheBareSiteOncePerPress) {
    SiteLink(3, 4, 1 + 2 + 4);
    SiteLink(0, 0, 0);
    EXPECT_EQ(machine.openedUrls, (std::vector<Text>{SITE_BASE, SITE_BASE}));
    EXPECT_TRUE(window.writes.empty());
}

}  // namespace
