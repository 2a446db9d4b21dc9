#include "driver/screen_capture.h"

#include "driver/host_files.h"
#include "driver/png_encoding.h"
#include "driver/window_reading.h"

Image DrawImage(int width, int height, const std::function<void(HDC)>& draw) {
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    Image image;
    image.width = width;
    image.height = height;
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

bool SavePng(const Image& image, const std::wstring& path) {
    std::vector<uint8_t> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (uint32_t pixel : image.pixels) {
        rgb.push_back(static_cast<uint8_t>(pixel >> 16));
        rgb.push_back(static_cast<uint8_t>(pixel >> 8));
        rgb.push_back(static_cast<uint8_t>(pixel));
    }
    std::vector<uint8_t> png = EncodePng(image.width, image.height, rgb);
    return WriteWholeFile(path, std::string(png.begin(), png.end()));
}
