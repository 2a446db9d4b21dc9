// The voice-server address that a download holds, as the install takes it:
// from a whole 2xx reply only, an http or https address with a host, which
// stands between two double quotes as a JSON string of itself. The first byte
// chooses the status and completeness. WinInet's reading of an address is not
// at hand here; the fake machine's stands in for it.
#include "install/voxbridge_config.h"
#include "property.h"

#include <nlohmann/json.hpp>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    HttpResponse response;
    response.status = (data[0] & 0x7F) == 0 ? 0 : 100 + (data[0] & 0x7F) * 4;
    response.complete = (data[0] & 0x80) == 0;
    response.body.assign(data + 1, data + size);
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
