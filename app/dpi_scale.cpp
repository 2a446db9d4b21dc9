#include "app/dpi_scale.h"

namespace {

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kUnitsDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    // Looked up, not imported: Windows before 10 has no DPI of its own per window.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow =
        reinterpret_cast<DpiForWindow>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
    UINT dpi = window && dpiForWindow ? dpiForWindow(window) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}
