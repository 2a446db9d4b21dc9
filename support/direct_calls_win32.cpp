#include "support/direct_calls.h"

#include "support/win32/dll_binding.h"
#include "support/win32/paths.h"

#include <windows.h>

#include <algorithm>

namespace {

// The program's texts are GBK, so the table binds the wide entry points and
// converts at this boundary.
DllEntry gDirectCalls[] = {
    {"kernel32.dll", "GetTempPathW", nullptr},
};

// The temporary folder as Windows gives it, or the empty text when the call fails.
std::wstring WideTempPath() {
    std::wstring path(MAX_PATH + 1, L'\0');
    for (;;) {
        auto length = static_cast<DWORD>(
            CallDllEntry(gDirectCalls[0], path.size(), reinterpret_cast<std::uintptr_t>(path.data())));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length, L'\0');
    }
}

}  // namespace

unsigned CallGetTempPath(unsigned bufferLength, ByteArray& buffer) {
    Text path = GbkPathFromWide(WideTempPath());
    if (path.empty()) return 0;
    size_t needed = path.size() + 1;
    if (needed > bufferLength || needed > buffer.size()) return static_cast<unsigned>(needed);
    std::copy(path.begin(), path.end(), buffer.begin());
    buffer[path.size()] = 0;
    return static_cast<unsigned>(path.size());
}
