#include "support/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool BytesMatch(const unsigned char* at, const unsigned char* sought, size_t n, bool foldCase) {
    if (!foldCase) return std::memcmp(at, sought, n) == 0;
    for (size_t i = 0; i < n; i++) {
        if (FoldAscii(at[i]) != FoldAscii(sought[i])) return false;
    }
    return true;
}

// max(0, start - 1) for a passed start position, 0 for one left out,
// computed wide so that INT_MIN cannot overflow.
size_t SkipFor(std::optional<int> start) {
    if (!start) return 0;
    int64_t skip = static_cast<int64_t>(*start) - 1;
    return skip > 0 ? static_cast<size_t>(skip) : 0;
}

// Finds where, from `from` on, the next byte that can begin a match lies:
// the first byte of the sought text, in either case when folding.
const unsigned char* NextCandidate(const unsigned char* from, const unsigned char* last,
                                   unsigned char first, bool foldCase) {
    if (from > last) return nullptr;
    unsigned char other = first;
    if (foldCase) {
        first = FoldAscii(first);
        other = (first >= 'a' && first <= 'z') ? static_cast<unsigned char>(first - ('a' - 'A')) : first;
    }
    size_t span = static_cast<size_t>(last - from) + 1;
    if (first == other) return static_cast<const unsigned char*>(std::memchr(from, first, span));
    for (const unsigned char* p = from; p <= last; p++) {
        if (*p == first || *p == other) return p;
    }
    return nullptr;
}

// The character-stepping search shared by FindSubtext and ReplaceSubtext.
// `from` is a character start by definition; gives the byte offset of the
// first match at a character start, or npos.
//
// Instead of stepping byte by byte, it jumps to candidate bytes and then
// decides whether the candidate begins a character: a position right after a
// byte below 0x80 always does, so only the run of lead-range bytes before the
// candidate matters, and its parity decides. The boundary anchor only moves
// forward, so the whole search stays linear.
size_t FindFrom(const Text& text, const Text& sought, size_t from, bool foldCase) {
    const size_t length = text.size();
    const size_t n = sought.size();
    if (n == 0 || from >= length || length - from < n) return std::string::npos;

    const auto* base = reinterpret_cast<const unsigned char*>(text.data());
    const auto* want = reinterpret_cast<const unsigned char*>(sought.data());
    const unsigned char* last = base + (length - n);  // last position with room for a match
    const unsigned char* anchor = base + from;        // a known character start
    const unsigned char* p = NextCandidate(anchor, last, want[0], foldCase);
    while (p) {
        const unsigned char* runStart = p;
        while (runStart > anchor && IsLeadByte(runStart[-1])) runStart--;
        bool startsCharacter = ((p - runStart) % 2) == 0;
        anchor = startsCharacter ? p : p + 1;
        if (startsCharacter && BytesMatch(p, want, n, foldCase)) return static_cast<size_t>(p - base);
        p = NextCandidate(p + 1, last, want[0], foldCase);
    }
    return std::string::npos;
}

}  // namespace

int TextLength(const Text& text) { return static_cast<int>(text.size()); }

Text TextLeft(const Text& text, int count) {
    if (count <= 0) return Text();
    return text.substr(0, std::min(static_cast<size_t>(count), text.size()));
}

Text TextRight(const Text& text, int count) {
    if (count <= 0) return Text();
    size_t n = std::min(static_cast<size_t>(count), text.size());
    return text.substr(text.size() - n);
}

int FindSubtext(const Text& text, const Text& sought, std::optional<int> start, bool caseInsensitive) {
    size_t skip = SkipFor(start);
    bool regionEmpty = skip >= text.size();
    if (sought.empty()) return regionEmpty ? -1 : 1;
    if (regionEmpty) return -1;
    size_t at = FindFrom(text, sought, skip, caseInsensitive);
    return at == std::string::npos ? -1 : static_cast<int>(at + 1);
}

Text ReplaceSpan(const Text& text, int start, int length, const std::optional<Text>& replacement) {
    size_t offset = std::min(SkipFor(start), text.size());
    size_t removed = std::min(static_cast<size_t>(std::max(0, length)), text.size() - offset);
    Text result = text;
    result.replace(offset, removed, replacement ? *replacement : Text());
    return result;
}

Text ReplaceSubtext(const Text& text, const Text& old, const std::optional<Text>& replacement,
                    std::optional<int> start, std::optional<int> count, bool caseSensitive) {
    size_t offset = SkipFor(start);
    bool unlimited = !count || *count < 0;
    int64_t limit = unlimited ? 0 : *count;
    if (text.empty() || old.empty() || offset >= text.size() || (count && *count == 0)) return text;

    const Text& newText = replacement ? *replacement : Text();
    Text result;
    result.reserve(text.size());
    size_t cursor = offset;
    result.append(text, 0, offset);
    for (;;) {
        size_t at = FindFrom(text, old, cursor, !caseSensitive);
        if (at == std::string::npos) break;
        result.append(text, cursor, at - cursor);
        result += newText;
        cursor = at + old.size();
        if (!unlimited && --limit == 0) break;
    }
    // The rest goes over unchanged, a trailing lone lead byte included.
    result.append(text, cursor, std::string::npos);
    return result;
}

Text TrimBlanks(const Text& text) {
    const char* const blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == Text::npos) return Text();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

Text SpaceText(int count) { return count <= 0 ? Text() : Text(static_cast<size_t>(count), ' '); }

Text ToText(const ByteArray& bytes) {
    if (bytes.empty()) return Text();
    const auto* begin = bytes.data();
    const auto* zero = static_cast<const unsigned char*>(std::memchr(begin, 0, bytes.size()));
    size_t n = zero ? static_cast<size_t>(zero - begin) : bytes.size();
    return Text(reinterpret_cast<const char*>(begin), n);
}

ByteArray ToBytes(const Text& text) { return ByteArray(text.begin(), text.end()); }
