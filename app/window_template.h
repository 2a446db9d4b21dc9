// The main window and its controls as data: one row per control, read by
// the window builder, the colour and cursor handlers and the property
// interface. Nothing here creates a window.
#pragma once

#include "model/properties.h"

#include <array>

enum class ControlKind { GroupBox, EditBox, CheckBox, Label, Button, HtmlViewer };

enum class FontKind {
    DefaultGui,  // the system's default GUI font
    EditBox,     // 华文新魏, 12 px, bold, underlined
    Label,       // the default face at 12 px, normal weight
};

enum class CursorKind { Standard, SizeNwse, SizeNesw, SizeWe, Hand };

// A colour as 0x00BBGGRR, the layout of a Windows COLORREF.
constexpr int Rgb(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

enum class Background { System, White, ButtonFace };

struct ControlTemplate {
    Control control;
    ControlKind kind;
    Control parent;  // Control::Window, or the group box the control sits in
    int left, top, width, height;  // in the parent's client area; outer size
    const char* text;              // GBK
    bool visible;
    FontKind font;
    int textColour;  // -1: the system's colour
    Background background;
    CursorKind cursor;
};

struct WindowTemplate {
    const wchar_t* className;
    const wchar_t* title;
    int left, top;  // as stored; creation centres the window on the screen instead
    int width, height;
};

const WindowTemplate& MainWindowTemplate();

constexpr int kControlCount = 11;

// Every control, parents before their children.
const std::array<ControlTemplate, kControlCount>& ControlTemplates();

// The row of a control; nullptr for Control::Window, which has none.
const ControlTemplate* FindTemplate(Control control);
