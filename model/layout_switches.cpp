#include "model/layout_switches.h"

#include "model/properties.h"
#include "support/processes.h"
#include "support/site.h"

namespace {

// One step of the two vertical layouts. 可视 is the one logical step: its
// values are 1 (shown) and 0 (hidden).
struct LayoutStep {
    Control control;
    Property property;
    int voiceChat;  // 选择框1 ticked: the voice-chat section in view
    int collapsed;  // 选择框1 cleared: the layout the window starts with
};

// The voice-chat section sits below 选择框1, so the two big buttons move down
// by 80 and the window grows by 81; the side panel keeps filling its height.
constexpr LayoutStep kVerticalLayout[] = {
    {Control::Window, Property::高度, 241, 160},
    {Control::按钮1, Property::顶边, 176, 96},
    {Control::按钮2, Property::顶边, 80, 45},
    {Control::按钮3, Property::顶边, 176, 96},
    {Control::分组框2, Property::高度, 208, 136},
    {Control::超文本浏览框1, Property::高度, 192, 112},
    {Control::分组框3, Property::可视, 1, 0},
};

void ApplyVerticalLayout(bool voiceChat) {
    for (const LayoutStep& step : kVerticalLayout) {
        int value = voiceChat ? step.voiceChat : step.collapsed;
        if (step.property == Property::可视) {
            SetLogicalProperty(step.control, step.property, value != 0);
        } else {
            SetIntegerProperty(step.control, step.property, value);
        }
    }
}

void ShowSidePanelAtWidth(int width, const Text& nextCaption) {
    SetIntegerProperty(Control::Window, Property::宽度, width);
    SetLogicalProperty(Control::分组框2, Property::可视, true);
    SetTextProperty(Control::按钮2, Property::caption, nextCaption);
}

}  // namespace

void SetVoiceChatLayout() { ApplyVerticalLayout(true); }

void SetCollapsedLayout() { ApplyVerticalLayout(false); }

void VoiceChatSectionSwitch() {
    // The box has already changed its state through the click. Each test reads
    // the control afresh, the second too: the reads are part of the contract.
    if (GetLogicalProperty(Control::选择框1, Property::selected)) {
        SetVoiceChatLayout();
    } else if (!GetLogicalProperty(Control::选择框1, Property::selected)) {
        SetCollapsedLayout();
    }
}

void SidePanelSwitch() {
    // The caption is the only record of which width holds; it is read afresh
    // for each comparison, the second too, as for the check box above.
    if (GetTextProperty(Control::按钮2, Property::caption) == "<<") {
        ShowSidePanelAtWidth(388, ">>");
    } else if (GetTextProperty(Control::按钮2, Property::caption) == ">>") {
        ShowSidePanelAtWidth(751, "<<");
    }
}

void SiteLink(int, int, int) { OpenUrl(Text(SITE_BASE)); }
