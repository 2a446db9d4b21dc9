#include "startup/site_replies.h"

#include "support/dialogs.h"
#include "support/encoding.h"

#include <algorithm>
#include <cctype>

namespace {

// A version is a short run of digits, letters and ".-_+": a captive portal's
// page or a site's error text is no version at all, not a newer one.
bool IsVersionText(const Text& text) {
    const size_t kLongestVersion = 32;
    return !text.empty() && text.size() <= kLongestVersion && std::all_of(text.begin(), text.end(), [](char c) {
               auto byte = static_cast<unsigned char>(c);
               return (byte < 0x80 && std::isalnum(byte)) || c == '.' || c == '-' || c == '_' || c == '+';
           });
}

}  // namespace

Text VersionIn(const HttpResponse& response) {
    // A zero byte is no character of a version, so the text must be the whole
    // body; a byte-order mark that an editor saved before it is no part of it.
    const ByteArray body = WithoutByteOrderMark(response.body);
    Text reply = ToText(body);
    Text latest = TrimBlanks(reply);
    if (!IsWholeSuccess(response) || reply.size() != body.size() || !IsVersionText(latest)) return Text();
    return latest;
}

// The announcement is kept in GBK on the site and shown as it comes, cut to
// what a box can show.
Text AnnouncementIn(const HttpResponse& response) {
    return IsWholeSuccess(response) ? FirstLines(ToText(response.body)) : Text();
}
