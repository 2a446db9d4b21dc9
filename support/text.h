// Texts and byte arrays, the two value kinds every handler works on.
//
// A Text holds GBK bytes and never a zero byte; positions are 1-based byte
// positions and lengths count bytes. A ByteArray may hold any byte, zero
// included: file contents and web bodies are byte arrays.
//
// Optional arguments are std::optional: passing LeftOut is not the same as
// passing 0 or the empty text, and each operation says what it does then.
// Every operation is pure and returns a new value owned by the caller.
#pragma once

#include <optional>
#include <string>
#include <vector>

using Text = std::string;
using ByteArray = std::vector<unsigned char>;

inline constexpr std::nullopt_t LeftOut = std::nullopt;

int TextLength(const Text& text);
Text TextLeft(const Text& text, int count);
Text TextRight(const Text& text, int count);

// Forward search that tries only positions where a character begins (a byte
// of 0x80 or more leads a two-byte character). Gives the 1-based position of
// the first match, or -1. caseInsensitive folds the ASCII letters only.
int FindSubtext(const Text& text, const Text& sought, std::optional<int> start, bool caseInsensitive);

// Replaces `length` bytes at `start` by the replacement; no character stepping.
Text ReplaceSpan(const Text& text, int start, int length, const std::optional<Text>& replacement);

// Replaces occurrences of `old` from left to right, stepping by characters.
// Note the sense of the flag: caseSensitive, where FindSubtext asks the opposite.
Text ReplaceSubtext(const Text& text, const Text& old, const std::optional<Text>& replacement,
                    std::optional<int> start, std::optional<int> count, bool caseSensitive);

Text SpaceText(int count);

// The text without spaces, tabs, CR and LF at either end: a one-line
// resource of the site ordinarily ends in a line end.
Text TrimBlanks(const Text& text);

// The bytes up to, not including, the first zero byte.
Text ToText(const ByteArray& bytes);
// The text's bytes, without a terminator.
ByteArray ToBytes(const Text& text);

// Joining texts is Text's operator+ and comparing them is operator==, byte by
// byte; byte arrays compare with operator== too (same length, same bytes).
