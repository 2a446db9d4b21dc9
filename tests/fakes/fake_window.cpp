#include "tests/fakes/fake_window.h"

#include "app/window_template.h"
#include "tests/fakes/fake_machine.h"

#include <gtest/gtest.h>

namespace {

bool IsTextProperty(Property property) {
    return property == Property::content || property == Property::caption || property == Property::地址;
}

// Writes also go to the machine's log, so that tests see them in order with the other calls.
void Record(Control control, Property property, const std::string& value) {
    FakeWindow::Get().writes.push_back({control, property, value});
    FakeMachine::Get().log.push_back("Set " + ControlName(control) + " " + PropertyName(property) + " " + value);
}

}  // namespace

FakeWindow& FakeWindow::Get() {
    static FakeWindow window;
    return window;
}

void FakeWindow::Reset() {
    writes.clear();
    reads.clear();
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
    switch (property) {
        case Property::左边: return "左边";
        case Property::顶边: return "顶边";
        case Property::宽度: return "宽度";
        case Property::高度: return "高度";
        case Property::标记: return "标记";
        case Property::可视: return "可视";
        case Property::禁止: return "禁止";
        case Property::鼠标指针: return "鼠标指针";
        case Property::content: return "content";
        case Property::caption: return "caption";
        case Property::地址: return "地址";
        case Property::selected: return "selected";
    }
    return "?";
}

int GetIntegerProperty(Control control, Property property) {
    FakeWindow& window = FakeWindow::Get();
    window.reads.push_back({control, property, ""});
    FakeControl& c = window[control];
    switch (property) {
        case Property::左边: return c.left;
        case Property::顶边: return c.top;
        case Property::宽度: return c.width;
        case Property::高度: return c.height;
        default: ADD_FAILURE() << PropertyName(property) << " is no integer property"; return 0;
    }
}

bool GetLogicalProperty(Control control, Property property) {
    FakeWindow& window = FakeWindow::Get();
    window.reads.push_back({control, property, ""});
    FakeControl& c = window[control];
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
    FakeWindow& window = FakeWindow::Get();
    window.reads.push_back({control, property, ""});
    if (!IsTextProperty(property)) ADD_FAILURE() << PropertyName(property) << " is no text property";
    return window[control].text;
}

void SetIntegerProperty(Control control, Property property, int value) {
    FakeWindow& window = FakeWindow::Get();
    Record(control, property, std::to_string(value));
    FakeControl& c = window[control];
    switch (property) {
        case Property::左边: c.left = value; break;
        case Property::顶边: c.top = value; break;
        case Property::宽度: c.width = value; break;
        case Property::高度: c.height = value; break;
        default: ADD_FAILURE() << PropertyName(property) << " is no integer property"; break;
    }
}

void SetLogicalProperty(Control control, Property property, bool value) {
    FakeWindow& window = FakeWindow::Get();
    Record(control, property, value ? "true" : "false");
    FakeControl& c = window[control];
    switch (property) {
        case Property::可视: c.visible = value; break;
        case Property::禁止: c.disabled = value; break;
        case Property::selected: c.selected = value; break;
        default: ADD_FAILURE() << PropertyName(property) << " is no logical property"; break;
    }
}

void SetTextProperty(Control control, Property property, const Text& value) {
    FakeWindow& window = FakeWindow::Get();
    Record(control, property, value);
    if (!IsTextProperty(property)) ADD_FAILURE() << PropertyName(property) << " is no text property";
    window[control].text = value;
}
