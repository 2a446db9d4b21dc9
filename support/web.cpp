#include "support/web.h"

bool IsWholeSuccess(const HttpResponse& response) {
    return response.status >= 200 && response.status <= 299 && response.complete;
}

long long DeclaredLength(const std::wstring& value) {
    long long length = 0;
    auto digit = value.begin();
    for (; digit != value.end() && *digit >= L'0' && *digit <= L'9'; ++digit) {
        length = length * 10 + (*digit - L'0');
        if (length > kTooLargeLength) break;  // enough to know it is too large
    }
    return digit == value.begin() || length <= 0 ? -1 : length;
}
