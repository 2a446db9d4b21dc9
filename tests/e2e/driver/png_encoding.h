// PNG files for screenshots, without an image library: 8-bit RGB, deflated
// with the fixed Huffman codes, which suits flat window pictures well.
#pragma once

#include <cstdint>
#include <vector>

// rgb holds width * height pixels of three bytes, top row first.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);

// The zlib stream of the data (exposed for the tests of the encoder).
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data);
