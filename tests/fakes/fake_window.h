// An in-memory main window behind the property interface, for host tests of
// the handlers. It starts in the window's start state and records every
// property write in order.
#pragma once

#include "model/properties.h"

#include <map>
#include <string>
#include <vector>

struct FakeControl {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true, disabled = false, selected = false;
    Text text;  // content of an edit box, caption of a button, 地址 of the viewer
};

struct PropertyAccess {
    Control control;
    Property property;
    std::string value;  // as written: a number, "true"/"false", or the text

    bool operator==(const PropertyAccess& other) const {
        return control == other.control && property == other.property && value == other.value;
    }
};

class FakeWindow {
public:
    static FakeWindow& Get();

    // Back to the start state of the window, with nothing recorded.
    void Reset();

    FakeControl& operator[](Control control) { return controls_[control]; }

    std::vector<PropertyAccess> writes;

private:
    std::map<Control, FakeControl> controls_;
};

std::string ControlName(Control control);
std::string PropertyName(Property property);
