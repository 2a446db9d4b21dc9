// Conversion between character sets, by GNU libiconv.
#pragma once

#include "support/text.h"

// Converts data from the charset `from` to the charset `to` (names as
// libiconv knows them, such as "UTF-8" and "GB2312"). Gives the empty byte
// array on any failure, never a partial result. When successFlag is passed,
// it is set to whether the conversion succeeded (empty data counts as success).
ByteArray ConvertEncoding(const ByteArray& data, const Text& from, const Text& to, bool* successFlag = nullptr);

// The text in the code page in which console programs read their input and
// cmd its batch files (the OEM code page); false when a character of the text
// has no form there.
bool ToConsoleBytes(const Text& text, ByteArray* bytes);

// The bytes without the UTF-8 byte-order mark that an editor may have saved
// before them; as they are when there is none.
ByteArray WithoutByteOrderMark(const ByteArray& bytes);
