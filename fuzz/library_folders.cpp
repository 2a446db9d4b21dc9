// The reader of Steam's libraryfolders.vdf: every path it gives is a value
// the file holds, and it takes time linear in its input. A library's number
// as long as the file, with many pairs behind it, once took time that grew
// with their product.
#include "model/steam_library.h"
#include "harness.h"

#include <chrono>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    const auto started = std::chrono::steady_clock::now();
    const std::vector<Text> paths = LibraryPathsIn(bytes);
    const auto took = std::chrono::steady_clock::now() - started;
    // Linear time is a few microseconds a kilobyte even under the sanitizers;
    // the ceiling leaves room for a loaded machine.
    FUZZ_PROPERTY(took < std::chrono::milliseconds(500) + std::chrono::microseconds(2) * size);
    size_t held = 0;
    for (const Text& path : paths) {
        FUZZ_PROPERTY(!path.empty() && path.find('\0') == Text::npos);
        held += path.size();
    }
    FUZZ_PROPERTY(held <= size);  // each value stands in the file once, escapes only shorten it
    return 0;
}
