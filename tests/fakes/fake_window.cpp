#include "tests/fakes/fake_window.h"

#include "app/window_template.h"
#include "tests/fakes/fake_machine.h"

#include <gtest/gtest.h>

namespace {

bool IsTextProperty(Property property) {
    return property == Property::content || property == Property::caption || property == Property::地址;
}

// Writes also go to the machine's log, so that tests see them in order with the other calls.
FakeControl& Record(Control control, Property property, const std::string& value) {
    FakeWindow::Get().writes.push_back({control, property, value});
    FakeMachine::Get().log.push_back("Set " + ControlName(control) + " " + PropertyName(property) + " " + value);
    return FakeWindow::Get()[control];
}

}  // namespace

FakeWindow& FakeWindow::Get() {
    static FakeWindow window;
    return window;
}

void FakeWindow::Reset() {
    writes.clear();
    controls_.clear();
    // The start state is the program's own template; the window's place is as stored.
    const WindowTemplate& window = MainWindowTemplate();
    controls_[Control::Window] = {window.left, window.top, window.width, window.height};
    for (const ControlTemplate& row : ControlTemplates())
        controls_[row.control] = {row.left, row.top, row.width, row.height, row.visible, false, false, row.text};
}

std::string ControlName(Control control) {
    static const char* const names[] = {"Window", "分组框1", "编辑框1", "选择框1", "分组框3", "编辑框2",
                                        "按钮1", "按钮3", "按钮2", "标签1", "分组框2", "超文本浏览框1"};
    return names[static_cast<int>(control)];
}

std::string PropertyName(Property property) {
    static const std::map<Property, const char*> names = {
        {Property::左边, "左边"},         {Property::顶边, "顶边"},         {Property::宽度, "宽度"},
        {Property::高度, "高度"},         {Property::标记, "标记"},         {Property::可视, "可视"},
        {Property::禁止, "禁止"},         {Property::鼠标指针, "鼠标指针"}, {Property::content, "content"},
        {Property::caption, "caption"}, {Property::地址, "地址"},         {Property::selected, "selected"}};
    return names.count(property) ? names.at(property) : "?";
}

bool GetLogicalProperty(Control control, Property property) {
    FakeControl& c = FakeWindow::Get()[control];
    switch (property) {
        case Property::可视: return c.visible;
        case Property::禁止: return c.disabled;
        case Property::selected:
            if (control != Control::选择框1) ADD_FAILURE() << "selected is read from a control that is no check box";
            return c.selected;
        default: ADD_FAILURE() << PropertyName(property) << " is no logical property"; return false;
    }
}

Text GetTextProperty(Control control, Property property) {
    if (!IsTextProperty(property)) ADD_FAILURE() << PropertyName(property) << " is no text property";
    return FakeWindow::Get()[control].text;
}

void SetIntegerProperty(Control control, Property property, int value) {
    FakeControl& c = Record(control, property, std::to_string(value));
    switch (property) {
        case Property::左边: c.left = value; break;
        case Property::顶边: c.top = value; break;
        case Property::宽度: c.width = value; break;
        case Property::高度: c.height = value; break;
        default: ADD_FAILURE() << PropertyName(property) << " is no integer property"; break;
    }
}

void SetLogicalProperty(Control control, Property property, bool value) {
    FakeControl& c = Record(control, property, value ? "true" : "false");
    switch (property) {
        case Property::可视: c.visible = value; break;
        case Property::禁止: c.disabled = value; break;
        case Property::selected: c.selected = value; break;
        default: ADD_FAILURE() << PropertyName(property) << " is no logical property"; break;
    }
}

void SetTextProperty(Control control, Property property, const Text& value) {
    if (!IsTextProperty(property)) ADD_FAILURE() << PropertyName(property) << " is no text property";
    Record(control, property, value).text = value;
}
