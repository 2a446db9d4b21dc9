// The announcement as its box shows it: from a whole 2xx reply only, the
// whole text when it is short, else its beginning up to 20 lines or 1000
// characters, never half of a two-byte character, and a note of what is left
// out.
#include "harness.h"
#include "startup/site_replies.h"

#include <cstdint>

namespace {

// A GBK text read character by character, a byte of 0x80 or more leading two
// bytes: how many characters, how many of them are line ends, and whether
// its end cuts a character in half.
struct Characters {
    int count = 0, lineEnds = 0;
    bool whole = true;
};

Characters Read(const Text& text) {
    Characters read;
    size_t at = 0;
    for (; at < text.size(); ++read.count) {
        read.lineEnds += text[at] == '\n';
        at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
    }
    read.whole = at == text.size();
    return read;
}

// Whether the box holds all of the text: no character of it begins behind
// the 1000th character or the 20th line end.
bool FitsTheBox(const Text& text) {
    int characters = 0, lineEnds = 0;
    for (size_t at = 0; at < text.size(); ++characters) {
        if (characters == 1000 || lineEnds == 20) return false;
        lineEnds += text[at] == '\n';
        at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HttpResponse response;
    if (!DownloadOf(data, size, &response)) return 0;
    const Text shown = AnnouncementIn(response);
    if (!IsWholeSuccess(response)) {
        FUZZ_PROPERTY(shown.empty());
        return 0;
    }
    const Text text = ToText(response.body);
    if (FitsTheBox(text)) {
        FUZZ_PROPERTY(shown == text);
        return 0;
    }
    const size_t note = shown.rfind("……（另有");
    FUZZ_PROPERTY(note != Text::npos);
    const Text part = shown.substr(0, note);
    FUZZ_PROPERTY(part.size() < text.size() && text.compare(0, part.size(), part) == 0);
    const Characters cut = Read(part);
    FUZZ_PROPERTY(cut.whole && cut.count <= 1000 && cut.lineEnds <= 20);
    FUZZ_PROPERTY(cut.count == 1000 || cut.lineEnds == 20);  // nothing more could be shown
    return 0;
}
