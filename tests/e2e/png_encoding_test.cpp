// The screenshot encoder, checked by inflating its output with zlib.
#include "driver/png_encoding.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace {

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& stream, size_t expectedSize) {
    std::vector<uint8_t> out(expectedSize + 16);
    uLongf size = out.size();
    int result = uncompress(out.data(), &size, stream.data(), stream.size());
    EXPECT_EQ(result, Z_OK);
    out.resize(result == Z_OK ? size : 0);
    return out;
}

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

TEST(Deflate, RoundTripsDataOfEveryShape) {
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> inputs;
    inputs.push_back({});
    inputs.push_back({'a'});
    inputs.push_back({'a', 'b', 'a', 'b', 'a', 'b', 'a'});
    inputs.push_back(std::vector<uint8_t>(100000, 0xF0));  // long runs: matches of 258 at distance 1
    std::vector<uint8_t> noise(70000);
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
    inputs.push_back(noise);  // literals above 143 need nine-bit codes
    std::vector<uint8_t> repeatedFar = noise;
    repeatedFar.resize(32768 + 5000);
    std::copy(noise.begin(), noise.begin() + 5000, repeatedFar.begin() + 32768);  // a match at the farthest distance
    inputs.push_back(repeatedFar);
    std::vector<uint8_t> rows;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 3 * 300; ++x) rows.push_back(static_cast<uint8_t>((x / 30 + y / 20) % 7 * 36));
    inputs.push_back(rows);
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.size());
        std::vector<uint8_t> stream = Deflate(input);
        EXPECT_EQ(Inflate(stream, input.size()), input);
    }
    EXPECT_LT(Deflate(inputs[3]).size(), 1000u);
}

TEST(EncodePng, WritesSignatureHeaderRowsAndValidChecksums) {
    const int width = 3, height = 2;
    std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<uint8_t> png = EncodePng(width, height, rgb);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<std::string> types;
    std::vector<uint8_t> idat;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = BigEndian(png, at);
        std::string type(png.begin() + at + 4, png.begin() + at + 8);
        types.push_back(type);
        uint32_t crc = crc32(0, png.data() + at + 4, length + 4);
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc) << type;
        if (type == "IHDR") {
            EXPECT_EQ(BigEndian(png, at + 8), 3u);
            EXPECT_EQ(BigEndian(png, at + 12), 2u);
            EXPECT_EQ(std::vector<uint8_t>(png.begin() + at + 16, png.begin() + at + 21), (std::vector<uint8_t>{8, 2, 0, 0, 0}));
        }
        if (type == "IDAT") idat.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<uint8_t> expectedRows = {0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(Inflate(idat, expectedRows.size()), expectedRows);
}

}  // namespace
