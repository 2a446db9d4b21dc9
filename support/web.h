// Web fetches over HTTP and HTTPS.
#pragma once

#include "support/text.h"

#include <string>

// One fetch, with what the caller needs to judge it.
struct HttpResponse {
    ByteArray body;         // everything received, whatever the status
    int status = 0;         // the HTTP status code; 0 when no response arrived
    bool complete = false;  // the body was read to its end (all of a Content-Length)
};

// More than any body a fetch keeps (64 MiB), for a length too long to read.
inline constexpr long long kTooLargeLength = 128ll << 20;

// The body length a Content-Length header declares, read from the digits at
// its start: -1 when there is none that can be used (no digit, or zero); past
// kTooLargeLength, some length beyond it.
long long DeclaredLength(const std::wstring& value);

// Fetches the address with a GET request. Fails soft: a failed request gives
// an empty body and status 0; a body beyond 64 MiB is given up (empty body,
// not complete). The empty text makes no request.
HttpResponse HttpGetResponse(const Text& address);

// The body of HttpGetResponse, whatever the status.
inline ByteArray HttpGet(const Text& address) { return HttpGetResponse(address).body; }

// A 2xx status with the body read to its end.
bool IsWholeSuccess(const HttpResponse& response);

// An absolute address as the fetch reads it.
enum class WebScheme { Other, Http, Https };
struct WebAddress {
    WebScheme scheme = WebScheme::Other;
    Text host;  // empty when the address names none
};

// Cracks the address with the fetch's own URL parser; false when that parser
// cannot read it (no scheme, not absolute, the empty text).
bool CrackWebAddress(const Text& address, WebAddress* parts);
