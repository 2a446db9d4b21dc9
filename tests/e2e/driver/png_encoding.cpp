#include "driver/png_encoding.h"

#include <array>
#include <string>

namespace {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}
    // Plain values go least significant bit first.
    void Bits(uint32_t value, int count) {
        buffer_ |= static_cast<uint64_t>(value) << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_->push_back(static_cast<uint8_t>(buffer_));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    // Huffman codes go most significant bit first.
    void Code(uint32_t code, int length) {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Bits(reversed, length);
    }
    void Flush() {
        if (filled_ > 0) out_->push_back(static_cast<uint8_t>(buffer_));
        buffer_ = 0;
        filled_ = 0;
    }

private:
    std::vector<uint8_t>* out_;
    uint64_t buffer_ = 0;
    int filled_ = 0;
};

void LiteralOrLength(BitWriter& bits, int symbol) {
    if (symbol < 144) bits.Code(0x30 + symbol, 8);
    else if (symbol < 256) bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280) bits.Code(symbol - 256, 7);
    else bits.Code(0xC0 + symbol - 280, 8);
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                               33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& bits, int length, int distance) {
    int code = 28;
    while (kLengthBase[code] > length) --code;
    LiteralOrLength(bits, 257 + code);
    bits.Bits(length - kLengthBase[code], kLengthExtra[code]);
    int distanceCode = 29;
    while (kDistanceBase[distanceCode] > distance) --distanceCode;
    bits.Code(distanceCode, 5);
    bits.Bits(distance - kDistanceBase[distanceCode], kDistanceExtra[distanceCode]);
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void BigEndian(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void Chunk(std::vector<uint8_t>* png, const char* type, const std::vector<uint8_t>& data) {
    BigEndian(png, static_cast<uint32_t>(data.size()));
    size_t start = png->size();
    png->insert(png->end(), type, type + 4);
    png->insert(png->end(), data.begin(), data.end());
    BigEndian(png, Crc32(png->data() + start, png->size() - start));
}

}  // namespace

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
    constexpr int kWindow = 32768, kMaxLength = 258, kHashBits = 15, kChainLimit = 48;
    std::vector<uint8_t> out = {0x78, 0x01};
    BitWriter bits(&out);
    bits.Bits(1, 1);  // the only block, so the last one
    bits.Bits(1, 2);  // fixed Huffman codes
    std::vector<int> head(1 << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    auto hash = [&](size_t at) {
        return ((data[at] << 10) ^ (data[at + 1] << 5) ^ data[at + 2]) & ((1 << kHashBits) - 1);
    };
    auto insert = [&](size_t at) {
        if (at + 2 >= data.size()) return;
        int h = hash(at);
        previous[at] = head[h];
        head[h] = static_cast<int>(at);
    };
    size_t at = 0;
    while (at < data.size()) {
        int bestLength = 0, bestDistance = 0;
        if (at + 2 < data.size()) {
            int candidate = head[hash(at)];
            const int limit = static_cast<int>(std::min<size_t>(kMaxLength, data.size() - at));
            for (int chain = 0; candidate >= 0 && chain < kChainLimit; ++chain, candidate = previous[candidate]) {
                int distance = static_cast<int>(at) - candidate;
                if (distance > kWindow) break;
                int length = 0;
                while (length < limit && data[candidate + length] == data[at + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit) break;
                }
            }
        }
        if (bestLength >= 3) {
            Match(bits, bestLength, bestDistance);
            for (int i = 0; i < bestLength; ++i) insert(at + i);
            at += bestLength;
        } else {
            LiteralOrLength(bits, data[at]);
            insert(at);
            ++at;
        }
    }
    LiteralOrLength(bits, 256);
    bits.Flush();
    BigEndian(&out, Adler32(data));
    return out;
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> rows;
    const size_t stride = static_cast<size_t>(width) * 3;
    rows.reserve((stride + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // no filter
        rows.insert(rows.end(), rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride);
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    BigEndian(&header, static_cast<uint32_t>(width));
    BigEndian(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, standard filters, no interlace
    Chunk(&png, "IHDR", header);
    Chunk(&png, "IDAT", Deflate(rows));
    Chunk(&png, "IEND", {});
    return png;
}
