// The text operations, run in both builds from the same source.
#include "support/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

Text Bytes(std::initializer_list<unsigned char> bytes) { return Text(bytes.begin(), bytes.end()); }

TEST(TextLeftRight, CountBytesAndClampTheCount) {
    EXPECT_EQ(TextLeft("abc", 5), "abc");
    EXPECT_EQ(TextLeft("abc", 0), "");
    EXPECT_EQ(TextLeft("abc", -1), "");
    EXPECT_EQ(TextLeft("abc", INT_MIN), "");
    EXPECT_EQ(TextRight("abc", 1), "c");
    EXPECT_EQ(TextRight("abc", 9), "abc");
    EXPECT_EQ(TextRight("abc", -3), "");
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength("中"), 2);
    // A two-byte character is cut in half: these operations count bytes.
    EXPECT_EQ(TextLeft("中a", 1), TextLeft("中", 1));
    EXPECT_EQ(TextLeft("中a", 1).size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(TextLeft("中a", 1)[0]), 0xD6);
}

TEST(FindSubtext, StartPositionsAndLeftOut) {
    EXPECT_EQ(FindSubtext("a,b,c", ",", LeftOut, false), 2);
    EXPECT_EQ(FindSubtext("a,b,c", ",", 2, false), 2);
    EXPECT_EQ(FindSubtext("a,b,c", ",", 3, false), 4);
    EXPECT_EQ(FindSubtext("a,b,c", ",", 0, false), 2);
    EXPECT_EQ(FindSubtext("a,b,c", ",", -7, false), 2);
    EXPECT_EQ(FindSubtext("a,b,c", ",", INT_MIN, false), 2);
    EXPECT_EQ(FindSubtext("a,b,c", ",", 5, false), -1);
    EXPECT_EQ(FindSubtext("a,b,c", ",", INT_MAX, false), -1);
    EXPECT_EQ(FindSubtext("abc", "d", LeftOut, false), -1);
    EXPECT_EQ(FindSubtext("abc", "abcd", LeftOut, false), -1);
    EXPECT_EQ(FindSubtext("abc", "abc", LeftOut, false), 1);
    EXPECT_EQ(FindSubtext("xxabc", "bc", LeftOut, false), 4);
}

TEST(FindSubtext, EmptySoughtTextDependsOnTheRegionOnly) {
    EXPECT_EQ(FindSubtext("abc", "", LeftOut, false), 1);
    EXPECT_EQ(FindSubtext("abc", "", 3, false), 1);
    EXPECT_EQ(FindSubtext("abc", "", 9, false), -1);
    EXPECT_EQ(FindSubtext("abc", "", 4, false), -1);
    EXPECT_EQ(FindSubtext("", "", LeftOut, false), -1);
    EXPECT_EQ(FindSubtext("", "a", LeftOut, false), -1);
}

TEST(FindSubtext, CaseFoldingCoversAsciiLettersOnly) {
    EXPECT_EQ(FindSubtext("ABC", "b", LeftOut, true), 2);
    EXPECT_EQ(FindSubtext("ABC", "b", LeftOut, false), -1);
    EXPECT_EQ(FindSubtext("xSERVERurl", "ServerURL", LeftOut, true), 2);
    EXPECT_EQ(FindSubtext("a[b", "{", LeftOut, true), -1);  // [ and { differ by 0x20 but are no letters
    EXPECT_EQ(FindSubtext("a@b", "`", LeftOut, true), -1);
}

TEST(FindSubtext, StepsOverTwoByteCharacters) {
    // 81 41 is one character whose second byte is the code of A.
    EXPECT_EQ(FindSubtext(Bytes({0x81, 0x41}), "A", LeftOut, false), -1);
    EXPECT_EQ(FindSubtext(Bytes({0x81, 0x41, 0x41}), "A", LeftOut, false), 3);
    EXPECT_EQ(FindSubtext(Bytes({0x81, 0x41}), "a", LeftOut, true), -1);
    // Runs of lead-range bytes: only even offsets from the run's start begin a character.
    EXPECT_EQ(FindSubtext(Bytes({0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xA1, 0xB0}), LeftOut, false), -1);
    EXPECT_EQ(FindSubtext(Bytes({0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xB0, 0xA1}), 2, false), -1);
    EXPECT_EQ(FindSubtext(Bytes({'x', 0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xB0, 0xA1}), 2, false), 2);
    EXPECT_EQ(FindSubtext(Bytes({'x', 0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xB0, 0xA1}), 3, false), -1);
    EXPECT_EQ(FindSubtext(Bytes({'x', 0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xB0, 0xA1}), 4, false), 4);
    EXPECT_EQ(FindSubtext("配置：服务器", "服务器", LeftOut, false), 7);
}

TEST(FindSubtext, AStartInsideACharacterMakesThatByteACandidate) {
    // Start 2 points at the second byte of 81 41; the search begins there.
    EXPECT_EQ(FindSubtext(Bytes({0x81, 0x41}), "A", 2, false), 2);
    // From the trail byte 0xA1 the pairs are re-formed: A1 B0, then A1 alone.
    EXPECT_EQ(FindSubtext(Bytes({0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xA1, 0xB0}), 2, false), 2);
    EXPECT_EQ(FindSubtext(Bytes({0xB0, 0xA1, 0xB0, 0xA1}), Bytes({0xB0, 0xA1}), 2, false), -1);
}

TEST(FindSubtext, ALoneLeadByteAtTheEndEndsTheSearch) {
    EXPECT_EQ(FindSubtext(Bytes({'a', 0x81}), Bytes({0x81}), LeftOut, false), 2);
    EXPECT_EQ(FindSubtext(Bytes({'a', 0x81}), "b", LeftOut, false), -1);
}

TEST(ReplaceSpan, ClampsOffsetAndLength) {
    EXPECT_EQ(ReplaceSpan("abcdef", 2, 3, Text("X")), "aXef");
    EXPECT_EQ(ReplaceSpan("abc", 3, 10, Text("XY")), "abXY");
    EXPECT_EQ(ReplaceSpan("abc", 10, 1, Text("X")), "abcX");
    EXPECT_EQ(ReplaceSpan("abc", 2, -1, Text("X")), "aXbc");
    EXPECT_EQ(ReplaceSpan("abc", 2, 1, LeftOut), "ac");
    EXPECT_EQ(ReplaceSpan("abc", 0, 1, Text("X")), "Xbc");
    EXPECT_EQ(ReplaceSpan("abc", INT_MIN, INT_MAX, Text("X")), "X");
    EXPECT_EQ(ReplaceSpan("", 1, 1, Text("X")), "X");
    // Counts bytes: half of a two-byte character can be replaced.
    EXPECT_EQ(ReplaceSpan("中", 2, 1, Text("!")).size(), 2u);
}

TEST(ReplaceSubtext, StartCountAndCase) {
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), LeftOut, LeftOut, true), "a-b-c");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), LeftOut, 1, true), "a-bXc");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), 3, LeftOut, true), "aXb-c");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), LeftOut, 0, true), "aXbXc");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), LeftOut, -5, true), "a-b-c");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text("-"), 6, LeftOut, true), "aXbXc");
    EXPECT_EQ(ReplaceSubtext("aXbx", "x", Text("-"), LeftOut, LeftOut, false), "a-b-");
    EXPECT_EQ(ReplaceSubtext("aXbx", "x", Text("-"), LeftOut, LeftOut, true), "aXb-");
}

TEST(ReplaceSubtext, RemovalNoRescanAndNoOverlap) {
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", LeftOut, LeftOut, LeftOut, true), "abc");
    EXPECT_EQ(ReplaceSubtext("aXbXc", "X", Text(), LeftOut, LeftOut, true), "abc");
    EXPECT_EQ(ReplaceSubtext("aaa", "a", Text("aa"), LeftOut, LeftOut, true), "aaaaaa");
    EXPECT_EQ(ReplaceSubtext("aaaa", "aa", Text("b"), LeftOut, LeftOut, true), "bb");
    EXPECT_EQ(ReplaceSubtext("aaa", "aa", Text("b"), LeftOut, LeftOut, true), "ba");
    EXPECT_EQ(ReplaceSubtext("", "a", Text("b"), LeftOut, LeftOut, true), "");
    EXPECT_EQ(ReplaceSubtext("abc", "", Text("b"), LeftOut, LeftOut, true), "abc");
}

TEST(ReplaceSubtext, StepsOverTwoByteCharacters) {
    EXPECT_EQ(ReplaceSubtext(Bytes({0x81, 0x41}), "A", Text("-"), LeftOut, LeftOut, true), Bytes({0x81, 0x41}));
    EXPECT_EQ(ReplaceSubtext(Bytes({0x81, 0x41, 0x41}), "A", Text("-"), LeftOut, LeftOut, true),
              Bytes({0x81, 0x41, '-'}));
    EXPECT_EQ(ReplaceSubtext("Rd /s /q \"根目录\"", "根目录", Text("C:\\x\\"), LeftOut, LeftOut, true),
              "Rd /s /q \"C:\\x\\\"");
}

TEST(ReplaceSubtext, CopiesATrailingLoneLeadByteUnchanged) {
    EXPECT_EQ(ReplaceSubtext(Bytes({'a', 'X', 0x81}), "X", Text("-"), LeftOut, LeftOut, true), Bytes({'a', '-', 0x81}));
    EXPECT_EQ(ReplaceSubtext(Bytes({'a', 0x81}), "b", Text("-"), LeftOut, LeftOut, true), Bytes({'a', 0x81}));
    EXPECT_EQ(ReplaceSubtext(Bytes({0x81}), Bytes({0x81}), Text("-"), LeftOut, LeftOut, true), "-");
}

TEST(SpaceText, CountsSpaces) {
    EXPECT_EQ(SpaceText(255).size(), 255u);
    EXPECT_EQ(SpaceText(255).find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(SpaceText(0), "");
    EXPECT_EQ(SpaceText(-4), "");
}

TEST(ToTextToBytes, StopAtTheFirstZeroByte) {
    EXPECT_EQ(ToText(ByteArray{0x61, 0x00, 0x62}), "a");
    EXPECT_EQ(ToText(ByteArray{0x00, 0x62}), "");
    EXPECT_EQ(ToText(ByteArray{}), "");
    EXPECT_EQ(ToText(ByteArray{0xD6, 0xD0}), "中");
    EXPECT_EQ(ToBytes(""), ByteArray{});
    EXPECT_EQ(ToBytes("a\r\n"), (ByteArray{'a', '\r', '\n'}));
}

TEST(JoiningAndComparing, ByteForByteAndUnsigned) {
    Text joined = Text("C:\\Users\\") + "" + "..\\LocalLow\\";
    EXPECT_EQ(joined, "C:\\Users\\..\\LocalLow\\");
    EXPECT_NE(Text("abc"), Text("ABC"));
    EXPECT_NE(Text("a"), Text("a "));
    EXPECT_EQ(Text(), Text(""));
    EXPECT_LT(Text("\x7f"), Text("\x80"));  // bytes compare as unsigned values
    EXPECT_EQ(ByteArray{}, ToBytes(""));
    EXPECT_NE((ByteArray{0x61, 0x00}), (ByteArray{0x61}));
    EXPECT_EQ((ByteArray{0x61, 0x00}), (ByteArray{0x61, 0x00}));
}

// Chinese literals in the sources are UTF-8; in the program they must be GBK.
TEST(ProgramTexts, ChineseLiteralsAreGbkBytes) {
    EXPECT_EQ(Text("错误！"), Bytes({0xB4, 0xED, 0xCE, 0xF3, 0xA3, 0xA1}));
    EXPECT_EQ(Text("安装结果："), Bytes({0xB0, 0xB2, 0xD7, 0xB0, 0xBD, 0xE1, 0xB9, 0xFB, 0xA3, 0xBA}));
    EXPECT_EQ(Text("卸载成功。"), Bytes({0xD0, 0xB6, 0xD4, 0xD8, 0xB3, 0xC9, 0xB9, 0xA6, 0xA1, 0xA3}));
    EXPECT_EQ(Text("“%s”"), Bytes({0xA1, 0xB0, '%', 's', 0xA1, 0xB1}));
}

}  // namespace
