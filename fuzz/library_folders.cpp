// The reader of Steam's libraryfolders.vdf: every path it gives is a value
// the file holds, and it takes time linear in its input. A library's number
// as long as the file, with many pairs behind it, once took time that grew
// with their product.
#include "model/steam_library.h"
#include "harness.h"

#include <chrono>
#include <cstdint>
#include <ctime>

namespace {

// The processor time of this thread: a loaded machine that takes the
// processor away for a while does not count.
std::chrono::nanoseconds ThreadTime() {
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    const auto started = ThreadTime();
    const std::vector<Text> paths = LibraryPathsIn(bytes);
    const auto took = ThreadTime() - started;
    // Linear time is well under a microsecond a byte even under the sanitizers.
    FUZZ_PROPERTY(took < std::chrono::milliseconds(500) + std::chrono::microseconds(2) * size);
    size_t held = 0;
    for (const Text& path : paths) {
        FUZZ_PROPERTY(!path.empty() && path.find('\0') == Text::npos);
        held += path.size();
    }
    FUZZ_PROPERTY(held <= size);  // each value stands in the file once, escapes only shorten it
    return 0;
}
