#include "app/main_window.h"

#include "app/control_look.h"
#include "app/dpi_scale.h"
#include "app/resource_ids.h"
#include "app/shell.h"
#include "app/window_builder.h"
#include "app/window_ids.h"
#include "install/install_command.h"
#include "install/uninstall_command.h"
#include "model/layout_switches.h"
#include "model/shutdown.h"
#include "startup/startup_sequence.h"
#include "support/win32/alive_wait.h"

#include <windowsx.h>

namespace {

// Sent once the window is shown; its handler is the start-up sequence.
constexpr UINT kCreationCompleted = WM_APP + 1;

// A fixed single frame with a title bar and a system menu; no minimise or maximise box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

ControlHandles g_handles{};
UINT g_layoutDpi = kUnitsDpi;

// A handler waits in message loops of its own (a download, a message box);
// events that reach the window meanwhile must not start another handler.
bool g_handlerRunning = false;

// The control that gets the keyboard focus back when the window is active
// again, as in a dialog box: a message box, or a handler disabling the
// control, takes the focus away.
HWND g_focusControl = nullptr;

HWND& WindowHandle() { return g_handles[static_cast<int>(Control::Window)]; }

const ControlTemplate* TemplateOfHandle(HWND handle) {
    if (!handle) return nullptr;
    for (const ControlTemplate& row : ControlTemplates()) {
        if (g_handles[static_cast<int>(row.control)] == handle) return &row;
    }
    return nullptr;
}

void KeepFocus() {
    HWND focus = GetFocus();
    if (TemplateOfHandle(focus)) g_focusControl = focus;
}

// False when the control is gone, hidden or disabled: the window keeps the focus then.
bool GiveBackFocus() {
    if (!TemplateOfHandle(g_focusControl) || !IsWindowVisible(g_focusControl) || !IsWindowEnabled(g_focusControl))
        return false;
    SetFocus(g_focusControl);
    return true;
}

// Setting the focus in an inactive window activates it: only while no other
// program's window is in front, such as the browser that the site link has
// just opened. A message box of this program that has closed may leave no
// window in front at all; the focus comes back then.
bool NoOtherProgramInFront() {
    HWND front = GetForegroundWindow();
    DWORD process = 0;
    if (front && front != GetDesktopWindow()) GetWindowThreadProcessId(front, &process);
    return process == 0 || process == GetCurrentProcessId();
}

void GiveBackFocusIfInFront() {
    if (NoOtherProgramInFront() && !TemplateOfHandle(GetFocus())) GiveBackFocus();
}

template <typename Handler>
void RunHandler(Handler handler) {
    if (g_handlerRunning) return;
    g_handlerRunning = true;
    KeepFocus();
    handler();
    g_handlerRunning = false;
    GiveBackFocusIfInFront();
}

// 1 Ctrl, 2 Shift, 4 Alt; mouse messages carry no Alt flag, so it is read from the keyboard.
int KeyStateOf(WPARAM mouseFlags) {
    int keyState = 0;
    if (mouseFlags & MK_CONTROL) keyState |= 1;
    if (mouseFlags & MK_SHIFT) keyState |= 2;
    if (GetKeyState(VK_MENU) < 0) keyState |= 4;
    return keyState;
}

// The same for a key press, all read from the keyboard.
int HeldKeyState() {
    return KeyStateOf((GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0) | (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0));
}

bool IsForwardedToWindow(UINT message) {
    return message == WM_COMMAND || message == WM_NOTIFY ||
           (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

// The window procedure a control had before it was subclassed, kept with the control.
const wchar_t kBaseProcedure[] = L"StarfoldBaseProcedure";

void Subclass(HWND control, WNDPROC procedure) {
    LONG_PTR base = SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    SetPropW(control, kBaseProcedure, reinterpret_cast<HANDLE>(base));
}

LRESULT CallBaseProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC base = reinterpret_cast<WNDPROC>(GetPropW(control, kBaseProcedure));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        RemovePropW(control, kBaseProcedure);
    }
    return CallWindowProcW(base, control, message, wParam, lParam);
}

// The main window clips its children when it paints, so that controls it
// moves are never painted over; a group box then paints its own inside.
bool OnGroupBoxErase(HWND box, HDC dc) {
    RECT inside;
    GetClientRect(box, &inside);
    FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

// A group box is the parent of the controls inside it; what they tell their
// parent belongs to the main window.
LRESULT CALLBACK GroupBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsForwardedToWindow(message)) return SendMessageW(GetParent(box), message, wParam, lParam);
    if (message == WM_ERASEBKGND) return OnGroupBoxErase(box, reinterpret_cast<HDC>(wParam));
    return CallBaseProcedure(box, message, wParam, lParam);
}

void OnCreditPressed(int x, int y, int keyState) {
    RunHandler([=] { SiteLink(x, y, keyState); });
}

// Enter and Space on the credit press it like the left button, once per
// press: a key held down repeats with bit 30 set, and is not pressed again.
void OnCreditKey(WPARAM key, LPARAM flags) {
    if ((key == VK_RETURN || key == VK_SPACE) && !(flags & (1 << 30))) OnCreditPressed(0, 0, HeldKeyState());
}

// The dialog manager would turn Enter into IDOK; the credit takes it itself.
LRESULT OnCreditDialogCode(HWND label, WPARAM wParam, LPARAM lParam) {
    LRESULT code = CallBaseProcedure(label, WM_GETDLGCODE, wParam, lParam);
    const MSG* key = reinterpret_cast<const MSG*>(lParam);
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
    return code;
}

// A label draws no focus mark: the system's focus rectangle is drawn over the
// credit while it has the focus, unless the system hides focus marks until
// the keyboard is used. Only over what was painted anew, as the rectangle is
// drawn by inverting.
LRESULT OnCreditPaint(HWND label, WPARAM wParam, LPARAM lParam) {
    HRGN painted = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(label, painted, FALSE);
    LRESULT result = CallBaseProcedure(label, WM_PAINT, wParam, lParam);
    bool marksHidden = SendMessageW(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
    if (GetFocus() == label && !marksHidden) {
        HDC dc = GetDC(label);
        SelectClipRgn(dc, painted);
        RECT inside;
        GetClientRect(label, &inside);
        DrawFocusRect(dc, &inside);
        ReleaseDC(label, dc);
    }
    DeleteObject(painted);
    return result;
}

// The second press of a double click arrives as WM_LBUTTONDBLCLK; it is a press all the same.
LRESULT CALLBACK CreditLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: OnCreditPressed(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), KeyStateOf(wParam)); break;
        case WM_KEYDOWN: OnCreditKey(wParam, lParam); break;
        case WM_GETDLGCODE: return OnCreditDialogCode(label, wParam, lParam);
        case WM_PAINT: return OnCreditPaint(label, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: InvalidateRect(label, nullptr, TRUE); break;
        default: break;
    }
    return CallBaseProcedure(label, message, wParam, lParam);
}

void AttachEventSources() {
    for (const ControlTemplate& row : ControlTemplates()) {
        HWND handle = g_handles[static_cast<int>(row.control)];
        if (row.kind == ControlKind::GroupBox) Subclass(handle, GroupBoxProc);
        if (row.control == Control::标签1) Subclass(handle, CreditLabelProc);
    }
}

// The window was made at the system's DPI; its own monitor's may differ.
void SizeForDpi(HWND window, int left, int top) {
    const WindowTemplate& layout = MainWindowTemplate();
    SetWindowPos(window, nullptr, left, top, ToPixels(layout.width, g_layoutDpi), ToPixels(layout.height, g_layoutDpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OnCreate(HWND window) {
    g_layoutDpi = WindowDpi(window);
    ControlHandles handles;
    if (!BuildControls(window, g_layoutDpi, handles)) return false;
    g_handles = handles;
    AttachEventSources();
    RECT place = PlaceInParent(window);
    SizeForDpi(window, place.left, place.top);
    return true;
}

// Moved to a monitor of another scale: the same layout, scaled anew, at the
// place Windows suggests.
void OnDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
    RECT place = PlaceInParent(window);
    int width = ToUnits(place.right - place.left, g_layoutDpi);
    int height = ToUnits(place.bottom - place.top, g_layoutDpi);
    RescaleControls(g_handles, g_layoutDpi, dpi);
    g_layoutDpi = dpi;
    SetWindowPos(window, nullptr, suggested.left, suggested.top, ToPixels(width, dpi), ToPixels(height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// From the end of the start-up sequence on, the keyboard starts at 安装: the
// window the player has just started and answered, which opened nothing else.
void OnCreationCompleted() {
    RunHandler(StartupSequence);
    g_focusControl = ControlWindow(Control::按钮1);
    GiveBackFocus();
}

void OnCommand(int id, int code, HWND source);

// Enter where no button is the default one: the dialog manager reports IDOK,
// and the push button that has the focus is pressed.
void OnEnterKey() {
    HWND focus = GetFocus();
    const ControlTemplate* row = TemplateOfHandle(focus);
    if (row && row->kind == ControlKind::Button) OnCommand(ControlId(row->control), BN_CLICKED, focus);
}

void OnCommand(int id, int code, HWND source) {
    // A disabled control ignores input, a click sent to it by another program included.
    if (code != BN_CLICKED || (source && !IsWindowEnabled(source))) return;
    switch (id) {
        case ControlId(Control::选择框1): RunHandler(VoiceChatSectionSwitch); break;
        case ControlId(Control::按钮2): RunHandler(SidePanelSwitch); break;
        case ControlId(Control::按钮1): RunHandler(InstallCommand); break;
        case ControlId(Control::按钮3): RunHandler(UninstallCommand); break;
        case IDOK: OnEnterKey(); break;
        default: break;
    }
}

// Deactivated: the focus is kept; activated: it is given back, else the
// window itself takes it.
bool OnActivate(WORD state) {
    if (state == WA_INACTIVE) {
        KeepFocus();
        return false;
    }
    return GiveBackFocus();
}

// Closed while a handler waits (for a download, say): the program ends at
// once, through the exit handler, and the handler never goes on.
void OnClose() {
    if (g_handlerRunning) EndProgram(0);
}

HBRUSH OnControlColour(HDC dc, HWND control) {
    const ControlTemplate* row = TemplateOfHandle(control);
    return row ? ApplyColours(dc, *row) : nullptr;
}

bool OnSetCursor(HWND over, int hitTest) {
    if (IsWaitingWithWindowsAlive()) {
        SetCursor(WaitPointer());
        return true;
    }
    const ControlTemplate* row = TemplateOfHandle(over);
    HCURSOR cursor = (row && hitTest == HTCLIENT) ? CursorFor(row->cursor) : nullptr;
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void OnDestroy(HWND window) {
    // A window whose creation failed must not leave a quit message behind for the error box.
    if (WindowHandle() == window) PostQuitMessage(0);
}

void OnNcDestroy() {
    g_handles.fill(nullptr);
    g_focusControl = nullptr;
    ReleaseFonts();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate(window) ? 0 : -1;
        case kCreationCompleted: OnCreationCompleted(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HBRUSH brush = OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            if (brush) return reinterpret_cast<LRESULT>(brush);
            break;
        }
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            break;
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wParam))) return 0;
            break;
        case WM_CLOSE: OnClose(); break;
        case WM_DPICHANGED: OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_DESTROY: OnDestroy(window); return 0;
        case WM_NCDESTROY: OnNcDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(STARFOLD_ICON));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(STARFOLD_ICON), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindowTemplate().className;
    registered = RegisterClassExW(&windowClass) != 0;
    return registered;
}

}  // namespace

bool LoadStartWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance)) return false;
    const WindowTemplate& layout = MainWindowTemplate();
    // The stored place is replaced by the centre of the screen.
    UINT dpi = WindowDpi(nullptr);
    int width = ToPixels(layout.width, dpi);
    int height = ToPixels(layout.height, dpi);
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExW(0, layout.className, layout.title, kWindowStyle, left, top, width, height, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    // The viewer needs OLE from the start-up sequence on; the window shows first.
    InitialiseOle();
    SendMessageW(window, kCreationCompleted, 0, 0);
    return true;
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND window = MainWindow();
        if (window && IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND MainWindow() { return WindowHandle(); }

UINT LayoutDpi() { return g_layoutDpi; }

HWND ControlWindow(Control control) { return g_handles[static_cast<int>(control)]; }

void CloseMainWindow() {
    if (MainWindow()) DestroyWindow(MainWindow());
}
