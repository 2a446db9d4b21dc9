#include "tests/win32/screen_capture.h"

#include "tests/win32/window_reading.h"

#include <gdiplus.h>

Image DrawImage(int width, int height, const std::function<void(HDC)>& draw) {
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    // 32 bits a pixel, top row first (a negative height).
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    Image image{width, height, {}};
    const auto* source = static_cast<const uint32_t*>(bits);
    image.pixels.assign(source, source + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

Image CaptureScreen(const RECT& area) {
    return DrawImage(area.right - area.left, area.bottom - area.top, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

Image CaptureWholeScreen() { return CaptureScreen(ScreenRect()); }

RaisedWindow::RaisedWindow(HWND window)
    : window_(window), turn_(CreateMutexW(nullptr, FALSE, L"StarfoldTestsRaisedWindow")), held_(false) {
    // An abandoned turn (its holder crashed) is a turn all the same.
    held_ = turn_ && WaitForSingleObject(turn_, kCeilingMs) != WAIT_TIMEOUT;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RaisedWindow::~RaisedWindow() {
    SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (held_) ReleaseMutex(turn_);
    if (turn_) CloseHandle(turn_);
}

bool SavePng(const Image& image, const std::wstring& path) {
    // The system's own encoder: GDI+ with its PNG codec.
    static const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (image.pixels.empty() || Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        // 0x00RRGGBB in memory is the blue, green, red, unused byte order of the 32-bit RGB format.
        Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                               reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.pixels.data())));
        saved = bitmap.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}
