#include "support/win32/wide_text.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring WideFromGbk(const Text& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool GbkFromWide(const std::wstring& wide, Text* text) {
    text->clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr,
                                     &usedDefault);
    if (length <= 0 || usedDefault) return false;
    Text converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, converted.data(), length, nullptr,
                        &usedDefault);
    if (usedDefault || converted.find('\0') != Text::npos) return false;
    *text = std::move(converted);
    return true;
}

Text GbkFromWideReplacing(const std::wstring& wide) {
    if (wide.empty()) return Text();
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, nullptr, 0, "?", nullptr);
    if (length <= 0) return Text();
    Text converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), size, converted.data(), length, "?", nullptr);
    converted.erase(std::remove(converted.begin(), converted.end(), '\0'), converted.end());
    return converted;
}
