// Voxbridge's configuration as the install rewrites it: a configuration that
// is JSON stays JSON with the same members, and only a serverURL value
// changes, to the address. The first byte gives the length of the address's
// download that follows; the rest is the configuration.
#include "install/voxbridge_config.h"
#include "harness.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace {

using Json = nlohmann::json;

Json Parsed(const Text& text) { return Json::parse(text, nullptr, false); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t addressSize = std::min<size_t>(data[0], size - 1);
    HttpResponse download;
    download.status = 200;
    download.complete = true;
    download.body.assign(data + 1, data + 1 + addressSize);
    Text address = VoiceServerAddressIn(download);
    if (address.empty()) address = "https://voice.example:7000/a?b=c";

    // As the install finds the value: the key, and the first comma behind it.
    const ByteArray bytes(data + 1 + addressSize, data + size);
    const Text config = ToText(bytes);
    const int key = FindSubtext(config, kServerUrlKey, LeftOut, false);
    const int comma = FindSubtext(config, ",", key, false);
    if (!IsRecognisedConfig(bytes, key, comma)) return 0;
    const Text rewritten = ReplaceServerUrl(config, key, comma, address);

    const Json before = Parsed(config);
    if (before.is_discarded()) return 0;
    const Json after = Parsed(rewritten);
    FUZZ_PROPERTY(!after.is_discarded());
    // Flattened, every member is a path to a value: the same paths, and at
    // most one value changed, a serverURL's, to the address.
    const Json flatBefore = before.flatten(), flatAfter = after.flatten();
    FUZZ_PROPERTY(flatBefore.size() == flatAfter.size());
    int changed = 0;
    for (auto member = flatBefore.begin(); member != flatBefore.end(); ++member) {
        FUZZ_PROPERTY(flatAfter.contains(member.key()));
        if (flatAfter[member.key()] == member.value()) continue;
        ++changed;
        const std::string& path = member.key();
        FUZZ_PROPERTY(path.size() >= 10 && path.compare(path.size() - 10, 10, "/serverURL") == 0);
        FUZZ_PROPERTY(flatAfter[path] == address);
    }
    FUZZ_PROPERTY(changed <= 1);
    return 0;
}
