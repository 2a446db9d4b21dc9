// The voice-server address that a download holds, as the install takes it:
// from a whole 2xx reply only, an http or https address with a host, which
// stands between two double quotes as a JSON string of itself. WinInet's
// reading of an address is not at hand here; the fake machine's stands in for
// it.
#include "harness.h"
#include "install/voxbridge_config.h"

#include <nlohmann/json.hpp>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HttpResponse response;
    if (!DownloadOf(data, size, &response)) return 0;
    const Text address = VoiceServerAddressIn(response);
    if (address.empty()) return 0;
    FUZZ_PROPERTY(IsWholeSuccess(response));
    WebAddress parts;
    FUZZ_PROPERTY(CrackWebAddress(address, &parts) && parts.scheme != WebScheme::Other && !parts.host.empty());
    const Text quoted = "\"" + address + "\"";
    const nlohmann::json string = nlohmann::json::parse(quoted, nullptr, false);
    FUZZ_PROPERTY(string.is_string() && string.get<std::string>() == address);
    const Text body(response.body.begin(), response.body.end());
    FUZZ_PROPERTY(body.find(address) != Text::npos);
    return 0;
}
