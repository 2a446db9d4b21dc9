// The start-up's judge of the version reply: a version it reads is a short
// run of letters, digits and ".-_+" that the whole body holds between blanks
// (after a byte-order mark), from a whole 2xx reply.
#include "harness.h"
#include "startup/site_replies.h"
#include "support/encoding.h"

#include <cctype>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HttpResponse response;
    if (!DownloadOf(data, size, &response)) return 0;
    const Text version = VersionIn(response);
    if (version.empty()) return 0;
    FUZZ_PROPERTY(IsWholeSuccess(response));
    FUZZ_PROPERTY(version.size() <= 32);
    for (char c : version)
        FUZZ_PROPERTY(std::isalnum(static_cast<unsigned char>(c)) || Text(".-_+").find(c) != Text::npos);
    const ByteArray unmarked = WithoutByteOrderMark(response.body);
    const Text body(unmarked.begin(), unmarked.end());
    const size_t at = body.find(version);
    FUZZ_PROPERTY(at != Text::npos);
    const Text around = body.substr(0, at) + body.substr(at + version.size());
    FUZZ_PROPERTY(around.find_first_not_of(" \t\r\n") == Text::npos);
    return 0;
}
