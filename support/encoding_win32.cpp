#include "support/encoding.h"

#include "support/win32/wide_text.h"

#include <windows.h>

bool ToConsoleBytes(const Text& text, ByteArray* bytes) {
    bytes->clear();
    std::wstring wide = WideFromGbk(text);
    if (wide.empty()) return text.empty();
    UINT codePage = GetOEMCP();
    // UTF-8 has a form for every character, and takes neither flag.
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* lacks = utf8 ? nullptr : &usedDefault;
    int size = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lacks);
    if (length <= 0 || usedDefault) return false;
    bytes->resize(static_cast<size_t>(length));
    WideCharToMultiByte(codePage, flags, wide.data(), size, reinterpret_cast<char*>(bytes->data()), length, nullptr,
                        lacks);
    return !usedDefault;
}
