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

// Saves the image as a PNG file with the system's encoder; false when it cannot be written.
bool SavePng(const Image& image, const std::wstring& path);
