// ConvertEncoding on the bundled libiconv, and the growth loop under it. Runs
// in both builds: plain literals here are GBK bytes, u8 literals UTF-8.
#include "support/encoding.h"
#include "support/growing_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteArray Bytes(const std::string& text) { return ByteArray(text.begin(), text.end()); }

std::string Repeated(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

struct Converted {
    ByteArray bytes;
    bool flag;
};

// Starts the flag at true so that a conversion that forgets to clear it shows.
Converted Convert(const std::string& data, const Text& from, const Text& to) {
    bool flag = true;
    ByteArray bytes = ConvertEncoding(Bytes(data), from, to, &flag);
    return {bytes, flag};
}

// The conversion gives the bytes and reports success, or gives nothing and reports failure.
void ExpectConverted(const std::string& data, const Text& from, const Text& to, const ByteArray& expected) {
    Converted result = Convert(data, from, to);
    EXPECT_EQ(result.bytes, expected) << from << " to " << to;
    EXPECT_TRUE(result.flag) << from << " to " << to;
}

void ExpectFailure(const std::string& data, const Text& from, const Text& to) {
    Converted result = Convert(data, from, to);
    EXPECT_TRUE(result.bytes.empty()) << data << ": " << from << " to " << to;
    EXPECT_FALSE(result.flag) << data << ": " << from << " to " << to;
}

}  // namespace

TEST(ConvertEncoding, AsciiComesBackUnchanged) {
    std::string ascii = "{\"name\": \"sv-1\", \"port\": 7777}\r\n";
    ExpectConverted(ascii, "UTF-8", "GB2312", Bytes(ascii));
}

TEST(ConvertEncoding, ChineseOfGb2312BecomesItsTwoBytes) {
    ExpectConverted(u8"中", "UTF-8", "GB2312", {0xD6, 0xD0});
    ExpectConverted(u8"社区服务器 list: 一区, 二区", "UTF-8", "GB2312", Bytes("社区服务器 list: 一区, 二区"));
}

TEST(ConvertEncoding, NamesIgnoreCaseAndTheFlagMayBeLeftOut) {
    EXPECT_EQ(ConvertEncoding(Bytes(u8"服务器"), "utf-8", "gb2312"), Bytes("服务器"));
}

TEST(ConvertEncoding, CharacterOutsideGb2312FailsTheWholeConversion) {
    // An emoji, and a character that GBK has but GB2312 lacks, each after
    // text that would convert on its own.
    for (const std::string& data : {std::string(u8"服务器 😀"), std::string(u8"服务器個")})
        ExpectFailure(data, "UTF-8", "GB2312");
    // The same character has a GBK form: the failure is the target's lack.
    EXPECT_EQ(ConvertEncoding(Bytes(u8"個"), "UTF-8", "GBK"), Bytes("個"));
}

TEST(ConvertEncoding, ByteOrderMarkHasNoGb2312Form) {
    ExpectFailure("\xEF\xBB\xBF" + std::string("[]"), "UTF-8", "GB2312");
}

TEST(ConvertEncoding, InvalidOrIncompleteInputFails) {
    // A stray continuation byte, a lead byte cut off at the end, then a cut
    // character in the middle.
    for (const std::string& data : {std::string("ab\x80" "cd"), std::string("ab\xE4\xB8"),
                                    std::string("a\xE4\xB8" "bc")})
        ExpectFailure(data, "UTF-8", "GB2312");
}

TEST(ConvertEncoding, MisspeltCharsetNameFailsAndLeavesTheFlagFalse) {
    for (const auto& names : {std::pair<Text, Text>{"UTF-8", "GB-2312"}, std::pair<Text, Text>{"UTF_8X", "GB2312"}}) {
        ExpectFailure("abc", names.first, names.second);
        // Even with nothing to convert: the converter could not be opened.
        ExpectFailure("", names.first, names.second);
    }
}

TEST(ConvertEncoding, EmptyDataIsAnEmptySuccess) {
    ExpectConverted("", "UTF-8", "GB2312", {});
}

TEST(ConvertEncoding, LengtheningConversionsGrowTheOutput) {
    // GB2312 to UTF-8 takes three bytes for every two.
    ExpectConverted(Repeated("中文", 20000), "GB2312", "UTF-8", Bytes(Repeated(u8"中文", 20000)));

    // ASCII to UTF-32BE quadruples the data: six enlargements for 100000 bytes.
    Converted wide = Convert(std::string(100000, 'a'), "ASCII", "UTF-32BE");
    ASSERT_EQ(wide.bytes.size(), 400000u);
    EXPECT_EQ(wide.bytes[399999], 'a');
    EXPECT_EQ(wide.bytes[399998], 0);
    EXPECT_TRUE(wide.flag);

    // Latin-1 to Java escapes ("\u00e9" for each byte) is the largest growth
    // libiconv's charsets give: six times, which takes ten of the eleven
    // enlargements.
    Converted escaped = Convert(std::string(100000, '\xE9'), "ISO-8859-1", "JAVA");
    ASSERT_EQ(escaped.bytes.size(), 600000u);
    EXPECT_EQ(std::string(escaped.bytes.begin(), escaped.bytes.begin() + 12), "\\u00e9\\u00e9");
    EXPECT_TRUE(escaped.flag);
}

namespace {

// A converter that writes `total` bytes of a counting pattern into whatever
// room it is given, and counts its calls.
struct PatternConverter {
    size_t total;
    size_t written = 0;
    int calls = 0;

    ConversionStop operator()(const char** in, size_t* inLeft, char** out, size_t* outLeft) {
        ++calls;
        while (written < total && *outLeft > 0) {
            *(*out)++ = static_cast<char>(written++ % 251);
            --*outLeft;
        }
        if (written < total) return ConversionStop::OutputFull;
        *in += *inLeft;
        *inLeft = 0;
        return ConversionStop::Done;
    }
};

constexpr size_t kDataLength = 1000;
// The data's length plus eleven steps of (1000 / 2) + 128.
constexpr size_t kLargestOutput = kDataLength + 11 * (kDataLength / 2 + 128);

}  // namespace

TEST(ConvertGrowing, ElevenEnlargementsAreAllowedAndATwelfthStopFails) {
    ByteArray data(kDataLength, 'x');

    PatternConverter fits{kLargestOutput};
    ByteArray result;
    ASSERT_TRUE(ConvertGrowing(data, std::ref(fits), &result));
    EXPECT_EQ(fits.calls, 12);
    // Each call continues behind what the one before it wrote.
    ASSERT_EQ(result.size(), kLargestOutput);
    bool pattern = true;
    for (size_t i = 0; i < result.size(); ++i) pattern = pattern && result[i] == i % 251;
    EXPECT_TRUE(pattern);

    PatternConverter tooLong{kLargestOutput + 1};
    EXPECT_FALSE(ConvertGrowing(data, std::ref(tooLong), &result));
    EXPECT_EQ(tooLong.calls, 12);
    EXPECT_TRUE(result.empty());
}

TEST(ConvertGrowing, FailureAfterPartialOutputGivesNothing) {
    ByteArray data(100, 'x');
    int calls = 0;
    auto failsSecondTime = [&calls](const char**, size_t*, char** out, size_t* outLeft) {
        if (++calls == 2) return ConversionStop::Failed;
        *out += *outLeft;
        *outLeft = 0;
        return ConversionStop::OutputFull;
    };
    ByteArray result{1, 2, 3};
    EXPECT_FALSE(ConvertGrowing(data, failsSecondTime, &result));
    EXPECT_TRUE(result.empty());
    EXPECT_EQ(calls, 2);
}
