// The conversions behind the reports: UTF-8 to GB2312 for the install's
// report, UTF-8 to GBK for a library's path, GBK to UTF-8 back. What converts
// converts back to the same bytes; what does not gives nothing at all.
#include "harness.h"
#include "support/encoding.h"

#include <cstdint>

namespace {

void RoundTrip(const ByteArray& data, const char* from, const char* to) {
    bool converted = false;
    const ByteArray there = ConvertEncoding(data, from, to, &converted);
    if (!converted) {
        FUZZ_PROPERTY(there.empty());
        return;
    }
    bool back = false;
    FUZZ_PROPERTY(ConvertEncoding(there, to, from, &back) == data && back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    RoundTrip(bytes, "UTF-8", "GB2312");
    RoundTrip(bytes, "UTF-8", "GBK");
    RoundTrip(bytes, "GBK", "UTF-8");
    // The report's own step: without its byte-order mark, no longer than the list.
    const ByteArray report = ConvertEncoding(WithoutByteOrderMark(bytes), "UTF-8", "GB2312");
    FUZZ_PROPERTY(report.size() <= bytes.size());
    return 0;
}
