// The property interface of the main window: every handler reads and
// changes the window through these six functions and nothing else.
#pragma once

#include "support/text.h"

// The window and its eleven controls, by their template names.
enum class Control {
    Window,
    分组框1,
    编辑框1,
    选择框1,
    分组框3,
    编辑框2,
    按钮1,
    按钮3,
    按钮2,
    标签1,
    分组框2,
    超文本浏览框1,
};

// Properties by number: 0 to 7 are common to every kind, the others belong
// to one kind each (content: edit box, caption: button, 地址: HTML viewer,
// selected: check box).
enum class Property {
    左边 = 0,
    顶边 = 1,
    宽度 = 2,
    高度 = 3,
    标记 = 4,
    可视 = 5,
    禁止 = 6,
    鼠标指针 = 7,
    content = 8,
    caption = 10,
    地址 = 11,
    selected = 18,
};

int GetIntegerProperty(Control control, Property property);
bool GetLogicalProperty(Control control, Property property);
Text GetTextProperty(Control control, Property property);

// Setting 宽度 or 高度 resizes (the top-left corner stays), 顶边 moves, 可视
// shows or hides a control with its children, 禁止 disables or enables,
// selected ticks or clears without raising the clicked event, 地址 loads the
// page.
void SetIntegerProperty(Control control, Property property, int value);
void SetLogicalProperty(Control control, Property property, bool value);
void SetTextProperty(Control control, Property property, const Text& value);
