// The output loop under ConvertEncoding, apart from libiconv: the converter
// fills a buffer that grows by a fixed step, a bounded number of times.
#pragma once

#include "support/text.h"

#include <cstddef>
#include <functional>

enum class ConversionStop { Done, OutputFull, Failed };

// One call of the converter, with iconv's in/out cursors.
using ConversionStep =
    std::function<ConversionStop(const char** in, size_t* inLeft, char** out, size_t* outLeft)>;

// The output starts as long as the data and grows by (length / 2) + 128 bytes
// at most this many times.
inline constexpr int kMaxEnlargements = 11;

// Runs step over the whole data. False (and *result left empty) when the step
// fails or wants room after the last enlargement.
bool ConvertGrowing(const ByteArray& data, const ConversionStep& step, ByteArray* result);
