// The body length a Content-Length header declares, from the digits WinInet
// gives (two bytes a character): exactly their value, -1 for none or zero,
// and past the largest body only "too large".
#include "harness.h"
#include "support/web.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring value;
    for (size_t at = 0; at + 1 < size; at += 2) value += static_cast<wchar_t>(data[at] | data[at + 1] << 8);
    const long long declared = DeclaredLength(value);
    const size_t digits = value.find_first_not_of(L"0123456789");
    const std::wstring number = value.substr(0, digits);
    const size_t first = number.find_first_not_of(L'0');
    const std::wstring significant = first == std::wstring::npos ? std::wstring() : number.substr(first);
    if (significant.empty()) {
        FUZZ_PROPERTY(declared == -1);
    } else if (significant.size() <= 18 && std::stoll(significant) <= kTooLargeLength) {
        FUZZ_PROPERTY(declared == std::stoll(significant));
    } else {
        FUZZ_PROPERTY(declared > kTooLargeLength);
    }
    return 0;
}
