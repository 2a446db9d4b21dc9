// Voxbridge's configuration and the voice-server address that goes into its
// serverURL value, judged and rewritten as texts: no file, no fetch.
#pragma once

#include "support/text.h"
#include "support/web.h"

// A double quote, serverURL, a double quote, a colon and exactly one space.
inline constexpr char kServerUrlKey[] = "\"serverURL\": ";

// Whether the configuration's serverURL value can be replaced: the key at
// keyPosition and the first comma behind it at commaPosition (1-based, as
// FindSubtext gives them) are there, the span between holds the whole old
// value, and configBytes is the text whole, without a zero byte.
bool IsRecognisedConfig(const ByteArray& configBytes, int keyPosition, int commaPosition);

// The configuration with the span from the key to the comma replaced by the
// key and the address as a JSON string.
Text ReplaceServerUrl(const Text& config, int keyPosition, int commaPosition, const Text& address);

// The voice-server address that a download holds, without blanks around it
// or a byte-order mark before it; the empty text when the download or its
// body is not fit to be written into the configuration.
Text VoiceServerAddressIn(const HttpResponse& response);
