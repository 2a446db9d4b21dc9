// The reader of Heroic's GamesConfig/<game>.json: it names only what the
// record's games give as their winePrefix (with "/pfx" for a Proton one), and
// nothing for a file that a full JSON parser refuses.
#include "model/launchers.h"
#include "harness.h"

#include <nlohmann/json.hpp>

#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteArray bytes(data, data + size);
    const std::vector<Text> prefixes = HeroicPrefixesIn(bytes);
    if (prefixes.empty()) return 0;
    const nlohmann::json config = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    FUZZ_PROPERTY(config.is_object() && prefixes.size() <= config.size());
    std::set<std::string> named;
    for (const auto& game : config.items()) {
        const auto prefix = game.value().is_object() ? game.value().find("winePrefix") : game.value().end();
        if (game.value().is_object() && prefix != game.value().end() && prefix->is_string()) {
            std::string path = prefix->get<std::string>();
            named.insert(path);
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            named.insert(path + "/pfx");
        }
    }
    for (const Text& prefix : prefixes) {
        FUZZ_PROPERTY(!prefix.empty() && prefix.find('\0') == Text::npos);
        FUZZ_PROPERTY(named.count(prefix) == 1);
    }
    return 0;
}
