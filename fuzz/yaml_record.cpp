// The two-key YAML reader behind Lutris' games/<game>.yml and Bottles'
// data.yml: at most one value, never empty, no zero byte, and no longer than
// the record (escapes and folded lines only shorten it).
#include "model/launchers.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    for (const std::vector<Text>& values : {LutrisPrefixesIn(bytes), BottlesFoldersIn(bytes)}) {
        FUZZ_PROPERTY(values.size() <= 1);
        for (const Text& value : values) FUZZ_PROPERTY(!value.empty() && value.find('\0') == Text::npos && value.size() <= size);
    }
    return 0;
}
