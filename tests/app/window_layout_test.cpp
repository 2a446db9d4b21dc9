// The main window as built: places, texts, styles, fonts, colours and
// pointers, read back from Windows.
#include "app/dpi_scale.h"
#include "app/resource_ids.h"
#include "app/window_builder.h"
#include "support/win32/wide_text.h"
#include "tests/app/window_fixture.h"

#include <commctrl.h>

#include <ostream>

namespace {

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

// Shown with every ancestor: a control inside a hidden group box is not to be seen.
bool SeenAtStart(const ControlTemplate& row) {
    return row.visible && (row.parent == Control::Window || FindTemplate(row.parent)->visible);
}

struct Colours {
    COLORREF text, background, brush;
    bool operator==(const Colours& other) const {
        return text == other.text && background == other.background && brush == other.brush;
    }
};

std::ostream& operator<<(std::ostream& out, const Colours& colours) {
    return out << std::hex << "text " << colours.text << ", background " << colours.background << ", brush "
               << colours.brush;
}

// Asks the window that the control reports to (its parent) for the control's colours.
Colours ColoursOf(HWND control, UINT message) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(control), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH fill = {};
    EXPECT_NE(brush, nullptr);
    GetObjectW(brush, sizeof fill, &fill);
    Colours colours = {GetTextColor(dc), GetBkColor(dc), fill.lbColor};
    DeleteDC(dc);
    return colours;
}

// The size of the text in the control's font.
SIZE TextExtent(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent;
}

HCURSOR CursorOver(HWND control) {
    SetCursor(nullptr);
    SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

using MainWindowLayoutTest = MainWindowTest;

TEST_F(MainWindowLayoutTest, WindowIsAFixedCentredFrameWithCloseOnly) {
    const WindowTemplate& expected = MainWindowTemplate();
    HWND window = MainWindow();
    EXPECT_EQ(PlaceOf(Control::Window), (Placement{(GetSystemMetrics(SM_CXSCREEN) - expected.width) / 2,
                                                   (GetSystemMetrics(SM_CYSCREEN) - expected.height) / 2,
                                                   expected.width, expected.height}));
    EXPECT_EQ(StoredWindowText(window), expected.title);
    EXPECT_EQ(WindowClass(window), expected.className);
    EXPECT_TRUE(IsWindowVisible(window));

    DWORD style = StyleOf(window);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the user must not resize the window";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_CHILD);

    EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    EXPECT_NE(GetClassLongPtrW(window, GCLP_HICON), 0u) << "the application icon comes from the resources";
    EXPECT_NE(GetClassLongPtrW(window, GCLP_HICONSM), 0u);
}

TEST_F(MainWindowLayoutTest, ControlsSitAtTheirPlacesInsideTheirParents) {
    for (const ControlTemplate& row : ControlTemplates()) {
        SCOPED_TRACE(ControlId(row.control));
        ControlState control = ReadControl(Handle(row.control));
        ASSERT_NE(control.handle, nullptr);
        EXPECT_EQ(control.parent, Handle(row.parent));
        EXPECT_EQ(control.id, ControlId(row.control));
        EXPECT_EQ(control.placement, (Placement{row.left, row.top, row.width, row.height}));
    }
}

TEST_F(MainWindowLayoutTest, StartShowsOnlyTheInstallSourceButtonsAndCredit) {
    for (const ControlTemplate& row : ControlTemplates()) {
        SCOPED_TRACE(ControlId(row.control));
        ControlState control = ReadControl(Handle(row.control));
        EXPECT_EQ(control.visibleStyle, row.visible);
        // What the user sees: the side panel and the voice-chat section stay out of view.
        EXPECT_EQ(control.visible, SeenAtStart(row));
        EXPECT_TRUE(control.enabled);
        EXPECT_EQ(StoredWindowText(control.handle), WideFromGbk(row.text));
    }
    EXPECT_EQ(SendMessageW(Handle(Control::选择框1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(MainWindowLayoutTest, CreditNamesTheAuthorAndFitsTheLabel) {
    HWND label = Handle(Control::标签1);
    std::wstring credit = StoredWindowText(label);
    ASSERT_GT(credit.size(), 3u);
    EXPECT_EQ(credit.substr(0, 3), L"By:");
    SIZE extent = TextExtent(label, credit);
    EXPECT_LE(extent.cx, FindTemplate(Control::标签1)->width);
    EXPECT_GT(extent.cx, 0);
}

TEST_F(MainWindowLayoutTest, EditBoxesAreCentredSingleLineEditableAndUnlimited) {
    for (Control box : {Control::编辑框1, Control::编辑框2}) {
        HWND edit = Handle(box);
        EXPECT_EQ(WindowClass(edit), L"Edit");
        DWORD style = StyleOf(edit);
        EXPECT_TRUE(style & ES_CENTER);
        EXPECT_TRUE(style & ES_AUTOHSCROLL);
        EXPECT_FALSE(style & (ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_NUMBER));
        EXPECT_FALSE(style & ES_NOHIDESEL) << "the selection hides while the box has no focus";
        EXPECT_TRUE(ReadControl(edit).exStyle & WS_EX_CLIENTEDGE);
        EXPECT_GE(static_cast<unsigned long>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);
    }
}

TEST_F(MainWindowLayoutTest, ButtonsCheckBoxLabelAndGroupBoxesHaveTheirKindsStyles) {
    for (Control button : {Control::按钮1, Control::按钮2, Control::按钮3}) {
        HWND handle = Handle(button);
        EXPECT_EQ(WindowClass(handle), L"Button");
        DWORD style = StyleOf(handle);
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << "none is the default button";
        EXPECT_EQ(style & BS_CENTER, static_cast<DWORD>(BS_CENTER));
        EXPECT_EQ(style & BS_VCENTER, static_cast<DWORD>(BS_VCENTER));
        EXPECT_FALSE(style & BS_FLAT);
    }
    DWORD check = StyleOf(Handle(Control::选择框1));
    EXPECT_EQ(check & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
    EXPECT_EQ(check & BS_CENTER, static_cast<DWORD>(BS_LEFT));
    EXPECT_EQ(check & BS_VCENTER, static_cast<DWORD>(BS_VCENTER));
    EXPECT_FALSE(check & (BS_PUSHLIKE | BS_FLAT | BS_LEFTTEXT));

    for (Control box : {Control::分组框1, Control::分组框2, Control::分组框3}) {
        EXPECT_EQ(WindowClass(Handle(box)), L"Button");
        EXPECT_EQ(StyleOf(Handle(box)) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    }
    HWND label = Handle(Control::标签1);
    EXPECT_EQ(WindowClass(label), L"Static");
    EXPECT_TRUE(StyleOf(label) & SS_NOTIFY) << "without it the label never sees the mouse";
}

TEST_F(MainWindowLayoutTest, EditBoxesAndCreditHaveTheirOwnFontsTheRestTheGuiFont) {
    for (Control box : {Control::编辑框1, Control::编辑框2}) {
        LOGFONTW font = FontOf(Handle(box));
        EXPECT_STREQ(font.lfFaceName, L"华文新魏");
        EXPECT_EQ(font.lfHeight, -12);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_FALSE(font.lfItalic);
    }
    LOGFONTW gui = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    LOGFONTW credit = FontOf(Handle(Control::标签1));
    EXPECT_STREQ(credit.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(credit.lfHeight, -12);
    EXPECT_EQ(credit.lfWeight, FW_NORMAL);
    EXPECT_FALSE(credit.lfUnderline);

    for (Control control : {Control::分组框1, Control::分组框2, Control::分组框3, Control::选择框1, Control::按钮1,
                            Control::按钮2, Control::按钮3}) {
        LOGFONTW font = FontOf(Handle(control));
        EXPECT_STREQ(font.lfFaceName, gui.lfFaceName) << ControlId(control);
        EXPECT_EQ(font.lfHeight, gui.lfHeight) << ControlId(control);
        EXPECT_EQ(font.lfWeight, gui.lfWeight) << ControlId(control);
    }
}

// Moved to a monitor at 150%: the window keeps the layout it has, scaled,
// and handlers go on reading and setting 96-DPI units.
TEST_F(MainWindowLayoutTest, AnotherMonitorsScaleRescalesTheCurrentLayout) {
    SetIntegerProperty(Control::Window, Property::高度, 241);
    SetIntegerProperty(Control::Window, Property::宽度, 751);
    SetIntegerProperty(Control::按钮1, Property::顶边, 176);
    RECT suggested = {100, 80, 0, 0};
    SendMessageW(MainWindow(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(PlaceOf(Control::Window), (Placement{100, 80, ToPixels(751, 144), ToPixels(241, 144)}));
    for (const ControlTemplate& row : ControlTemplates()) {
        SCOPED_TRACE(ControlId(row.control));
        Placement units = {GetIntegerProperty(row.control, Property::左边), GetIntegerProperty(row.control, Property::顶边),
                           GetIntegerProperty(row.control, Property::宽度), GetIntegerProperty(row.control, Property::高度)};
        EXPECT_EQ(PlaceOf(row.control), (Placement{ToPixels(units.left, 144), ToPixels(units.top, 144),
                                                   ToPixels(units.width, 144), ToPixels(units.height, 144)}));
    }
    EXPECT_EQ(GetIntegerProperty(Control::按钮1, Property::顶边), 176);
    EXPECT_EQ(GetIntegerProperty(Control::Window, Property::高度), 241);
    EXPECT_EQ(FontOf(Handle(Control::编辑框1)).lfHeight, -18);
    SetIntegerProperty(Control::按钮1, Property::顶边, 96);
    EXPECT_EQ(PlaceOf(Control::按钮1).top, 144);
}

// The window's controls built at 100%, 125%, 150% and 200%: each text, in
// the font the control has at that scale, fits inside it.
TEST(WindowAtEveryScale, NoTextIsClipped) {
    for (UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, ToPixels(751, dpi), ToPixels(241, dpi),
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ControlHandles handles;
        ASSERT_TRUE(BuildControls(parent, dpi, handles));
        for (const ControlTemplate& row : ControlTemplates()) {
            // Edit boxes scroll their text; the viewer has none.
            if (row.kind == ControlKind::EditBox || row.kind == ControlKind::HtmlViewer) continue;
            HWND control = handles[static_cast<int>(row.control)];
            SIZE extent = TextExtent(control, StoredWindowText(control));
            // What else the control draws on a line: the box of a check box, a button's edges, a frame's corner.
            int besides = row.kind == ControlKind::CheckBox ? 18 : row.kind == ControlKind::Label ? 0 : 8;
            RECT inside;
            GetClientRect(control, &inside);
            EXPECT_LE(extent.cx + ToPixels(besides, dpi), inside.right) << ControlId(row.control);
            EXPECT_LE(extent.cy, inside.bottom) << ControlId(row.control);
        }
        DestroyWindow(parent);
    }
}

TEST_F(MainWindowLayoutTest, EditBoxesCreditCheckBoxAndGroupBoxesAreColoured) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF white = RGB(255, 255, 255);
    // The edit boxes report to their group boxes, which pass it on to the window.
    for (Control box : {Control::编辑框1, Control::编辑框2}) {
        EXPECT_EQ(ColoursOf(Handle(box), WM_CTLCOLOREDIT), (Colours{RGB(0, 136, 255), white, white}));
        // Disabled, an edit box asks with WM_CTLCOLORSTATIC; it keeps its colours.
        EXPECT_EQ(ColoursOf(Handle(box), WM_CTLCOLORSTATIC).text, RGB(0, 136, 255));
    }
    EXPECT_EQ(ColoursOf(Handle(Control::标签1), WM_CTLCOLORSTATIC), (Colours{RGB(192, 192, 192), face, face}));
    for (Control control : {Control::选择框1, Control::分组框1, Control::分组框2, Control::分组框3})
        EXPECT_EQ(ColoursOf(Handle(control), WM_CTLCOLORSTATIC), (Colours{RGB(0, 0, 0), face, face}))
            << ControlId(control);
}

TEST_F(MainWindowLayoutTest, PointersOverButtonsAndCredit) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HCURSOR hand = LoadCursorW(instance, MAKEINTRESOURCEW(STARFOLD_HAND_CURSOR));
    ASSERT_NE(hand, nullptr) << "the hand pointer is one of the program's resources";
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u) << "the tip of the finger";
    EXPECT_EQ(info.yHotspot, 1u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    EXPECT_EQ(CursorOver(Handle(Control::按钮1)), LoadCursorW(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(CursorOver(Handle(Control::按钮3)), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(CursorOver(Handle(Control::按钮2)), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(CursorOver(Handle(Control::标签1)), hand);
    EXPECT_EQ(CursorOver(Handle(Control::选择框1)), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(CursorOver(Handle(Control::编辑框1)), LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(CursorOver(MainWindow()), LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
