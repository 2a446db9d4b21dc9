// The libiconv built from the bundled sources converts UTF-8 to GB2312.
#include <iconv.h>

#include <gtest/gtest.h>

#include <string>

TEST(BundledLibiconv, ConvertsUtf8ToGb2312) {
    iconv_t converter = iconv_open("GB2312", "UTF-8");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string input = u8"中";
    char output[8] = {};
    const char* in = input.data();
    char* out = output;
    size_t inLeft = input.size();
    size_t outLeft = sizeof output;
    size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    ASSERT_NE(converted, static_cast<size_t>(-1));
    EXPECT_EQ(inLeft, 0u);
    ASSERT_EQ(sizeof output - outLeft, 2u);
    EXPECT_EQ(static_cast<unsigned char>(output[0]), 0xD6);
    EXPECT_EQ(static_cast<unsigned char>(output[1]), 0xD0);
}
