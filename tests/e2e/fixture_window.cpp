// A small window for the driver's own tests: a group box with an edit box
// inside, a check box, a label, push buttons and message boxes of every kind
// the installer shows, each event reported with OutputDebugString.
//
//   fixture_window.exe [--exit-code N] [--boxes 0x10,0x31,...] [--handled-exception]
//                      [--crash-on-click] [--open ADDRESS]
#include "fixture_ids.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

int exitCode = 0;
std::vector<UINT> boxFlags;
bool crashOnClick = false;
std::wstring addressToOpen;
WNDPROC plainStatic = nullptr;

void Report(const std::wstring& line) { OutputDebugStringW((L"fixture: " + line).c_str()); }

void ReadArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; i < count; ++i) {
        std::wstring argument = arguments[i];
        bool hasValue = i + 1 < count;
        if (argument == L"--exit-code" && hasValue) exitCode = _wtoi(arguments[++i]);
        else if (argument == L"--boxes" && hasValue) {
            for (const wchar_t* item = arguments[++i]; *item;) {
                wchar_t* end = nullptr;
                boxFlags.push_back(static_cast<UINT>(wcstoul(item, &end, 0)));
                item = *end == L',' ? end + 1 : end + wcslen(end);
            }
        } else if (argument == L"--handled-exception") {
            // A first-chance exception that the program handles itself.
            AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* info) -> LONG {
                return info->ExceptionRecord->ExceptionCode == kFixtureHandledException ? EXCEPTION_CONTINUE_EXECUTION
                                                                                       : EXCEPTION_CONTINUE_SEARCH;
            });
            RaiseException(kFixtureHandledException, 0, 0, nullptr);
            Report(L"survived a handled exception");
        } else if (argument == L"--crash-on-click") crashOnClick = true;
        else if (argument == L"--open" && hasValue) addressToOpen = arguments[++i];
    }
    LocalFree(arguments);
}

void ReportProfile() {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE);
    Report(std::wstring(L"appdata=") + path);
    GetTempPathW(MAX_PATH, path);
    Report(std::wstring(L"temp=") + path);
}

void ShowBoxes() {
    for (UINT flags : boxFlags) {
        wchar_t caption[32];
        swprintf(caption, 32, L"\u6807\u9898 0x%02X", flags);
        std::wstring text = L"\u7b2c\u4e00\u884c\r\n\u7b2c\u4e8c\u884c " + std::wstring(caption);
        int answer = MessageBoxW(nullptr, text.c_str(), caption, flags | MB_TASKMODAL);
        Report(std::wstring(caption) + L" answered " + std::to_wstring(answer));
    }
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN)
        Report(L"label down at " + std::to_wstring(LOWORD(lParam)) + L"," + std::to_wstring(HIWORD(lParam)));
    if (message == WM_LBUTTONUP) Report(L"label up");
    return CallWindowProcW(plainStatic, label, message, wParam, lParam);
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                int h) {
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | style, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void CreateControls(HWND window) {
    HWND group = AddControl(window, L"Button", L"\u5206\u7ec4", WS_VISIBLE | BS_GROUPBOX, kFixtureGroup, 8, 8, 300, 60);
    AddControl(group, L"Edit", L"\u539f\u6587", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, kFixtureEdit, 12, 20, 200, 24);
    AddControl(window, L"Button", L"\u9009\u62e9", WS_VISIBLE | BS_AUTOCHECKBOX, kFixtureCheck, 8, 76, 120, 16);
    AddControl(window, L"Button", L"\u63d0\u793a", WS_VISIBLE | BS_PUSHBUTTON, kFixtureBoxes, 140, 76, 80, 24);
    AddControl(window, L"Button", L"\u9690\u85cf", BS_PUSHBUTTON, kFixtureHidden, 230, 76, 70, 24);
    HWND label = AddControl(window, L"Static", L"By: fixture", WS_VISIBLE | SS_NOTIFY, kFixtureLabel, 8, 104, 100, 16);
    plainStatic = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelProc)));
    AddControl(window, L"Button", L"\u6253\u5f00", WS_VISIBLE | BS_PUSHBUTTON, kFixtureOpen, 140, 104, 80, 24);
}

void OnCommand(HWND window, int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
    case kFixtureCheck: {
        bool checked = SendDlgItemMessageW(window, kFixtureCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
        Report(std::wstring(L"check box clicked, checked=") + (checked ? L"1" : L"0"));
        ShowWindow(GetDlgItem(window, kFixtureHidden), checked ? SW_SHOW : SW_HIDE);
        RECT outer;
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, checked ? 260 : 200, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    case kFixtureBoxes:
        if (crashOnClick) {
            Report(L"crashing");
            *static_cast<volatile int*>(nullptr) = 1;
        }
        ShowBoxes();
        break;
    case kFixtureOpen:
        ShellExecuteW(nullptr, L"open", addressToOpen.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        Report(L"opened " + addressToOpen);
        break;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        Report(L"closing");  // and the window goes as usual
        break;
    case WM_DESTROY:
        PostQuitMessage(exitCode);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ReadArguments();
    ReportProfile();
    WNDCLASSW windowClass = {0, WindowProc, 0, 0, instance, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, kFixtureClass};
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kFixtureClass, kFixtureTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 120, 90, 330,
                                  200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    Report(L"window shown");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Report(L"leaving with " + std::to_wstring(message.wParam));
    return static_cast<int>(message.wParam);
}
