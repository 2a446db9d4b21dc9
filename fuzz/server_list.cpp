// The install's judge of a server list agrees with a full JSON parser: what it
// takes is JSON whose top object's Regions is a non-empty array of objects,
// and such JSON is taken unless it names Regions twice or nests deeper than
// the judge allows.
#include "install/server_list.h"
#include "harness.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using Json = nlohmann::json;

int Depth(const Json& value) {
    int deepest = 0;
    if (value.is_structured())
        for (const Json& inner : value) deepest = std::max(deepest, Depth(inner));
    return value.is_structured() ? deepest + 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    const bool judged = IsServerList(bytes);
    const bool hasZero = std::find(bytes.begin(), bytes.end(), 0) != bytes.end();
    int regionsKeys = 0;
    auto countRegions = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::key && depth == 1 && parsed == "Regions") ++regionsKeys;
        return true;
    };
    Json parsed = Json::parse(bytes.begin(), bytes.end(), countRegions, false);
    const bool shaped = !parsed.is_discarded() && parsed.is_object() && parsed.contains("Regions") &&
                        parsed["Regions"].is_array() && !parsed["Regions"].empty() &&
                        std::all_of(parsed["Regions"].begin(), parsed["Regions"].end(),
                                    [](const Json& region) { return region.is_object(); });
    if (judged) FUZZ_PROPERTY(shaped && !hasZero);
    if (shaped && !hasZero && regionsKeys == 1 && Depth(parsed) <= 64) FUZZ_PROPERTY(judged);
    return 0;
}
