#include "install/voxbridge_config.h"

#include "support/encoding.h"

#include <algorithm>
#include <cctype>

namespace {

// Between the key and the comma stands the old value: one whole JSON string
// or a bare word (null, true, a number). Anything else means the comma lies
// inside the value (a comma in the old address, an object), and replacing up
// to it would break the file.
bool IsWholeOldValue(const Text& span) {
    Text old = TrimBlanks(span);
    if (old.empty()) return false;
    if (old.front() != '"') {
        return std::all_of(old.begin(), old.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+';
        });
    }
    // The first quote that no backslash escapes closes the string; it must be the last byte.
    size_t at = 1;
    while (at < old.size() && old[at] != '"') at += old[at] == '\\' ? 2 : 1;
    return at == old.size() - 1;
}

// Voxbridge reaches its server at an absolute http or https address: a rate
// limiter's text, a bare host name or another scheme would leave it with none.
// The address goes between two double quotes of a JSON string, unescaped, so
// it holds no white space, quote, backslash or control byte; and into a UTF-8
// file, so it is ASCII (a site writes an international host in its xn-- form):
// GBK bytes written there would be no text at all.
bool IsServerAddress(const Text& address) {
    WebAddress parts;
    bool plain = std::none_of(address.begin(), address.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte == '"' || byte == '\\' || byte <= 0x20 || byte >= 0x7F;
    });
    return plain && CrackWebAddress(address, &parts) && parts.scheme != WebScheme::Other && !parts.host.empty();
}

}  // namespace

// A zero byte would cut everything after it off the rewritten file. A member
// begins at the file's start or behind a brace, a comma or a blank: the same
// bytes behind an escaped quote end the name of another member
// ("x\"serverURL": ...), whose value is not Voxbridge's server.
bool IsRecognisedConfig(const ByteArray& configBytes, int keyPosition, int commaPosition) {
    const Text config = ToText(configBytes);
    if (keyPosition < 1 || commaPosition < 1 || config.size() != configBytes.size()) return false;
    if (keyPosition > 1 && Text("{, \t\r\n").find(config[keyPosition - 2]) == Text::npos) return false;
    size_t valueStart = keyPosition - 1 + (sizeof kServerUrlKey - 1);
    return IsWholeOldValue(config.substr(valueStart, commaPosition - 1 - valueStart));
}

Text ReplaceServerUrl(const Text& config, int keyPosition, int commaPosition, const Text& address) {
    Text replacement = Text(kServerUrlKey) + "\"" + address + "\"";
    return ReplaceSpan(config, keyPosition, commaPosition - keyPosition, replacement);
}

// A byte-order mark that an editor saved before the address is no part of it.
Text VoiceServerAddressIn(const HttpResponse& response) {
    if (!IsWholeSuccess(response)) return Text();
    const ByteArray bytes = WithoutByteOrderMark(response.body);
    Text body = ToText(bytes);
    if (body.size() != bytes.size()) return Text();
    Text address = TrimBlanks(body);
    return IsServerAddress(address) ? address : Text();
}
