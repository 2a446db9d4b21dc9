// Pixels of the screen as the shared desktop shows them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 32-bit pixels, top row first, each 0x00RRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A Windows colour as an image's pixel.
inline uint32_t PixelOf(COLORREF colour) { return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour); }

// An image of the given size, drawn by `draw` on a memory DC.
Image DrawImage(int width, int height, const std::function<void(HDC)>& draw);

// The rectangle of the screen (screen coordinates).
Image CaptureScreen(const RECT& area);
Image CaptureWholeScreen();

// Tests run side by side on one desktop. While a RaisedWindow lives, its
// window stays above every other, and no other test process raises one of
// its own, so that pixels read from the screen (and the pointer over it) are
// that window's. Waits at most 10 s for its turn.
class RaisedWindow {
public:
    explicit RaisedWindow(HWND window);
    ~RaisedWindow();
    RaisedWindow(const RaisedWindow&) = delete;
    RaisedWindow& operator=(const RaisedWindow&) = delete;

private:
    HWND window_;
    HANDLE turn_;
    bool held_;
};

// Saves the image as a PNG file with the system's encoder; false when it cannot be written.
bool SavePng(const Image& image, const std::wstring& path);
