#include "files/GbkText.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace palvina {
namespace {

struct EncodingCase {
    const char* name;
    std::string utf8;
    std::string gbk;
};

class GbkRoundTrip : public testing::TestWithParam<EncodingCase> {};

TEST_P(GbkRoundTrip, EncodesAndDecodes)
{
    EXPECT_EQ(Utf8ToGbk(GetParam().utf8), GetParam().gbk);
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
    EXPECT_EQ(GbkLength(GetParam().utf8), GetParam().gbk.size());
}

INSTANTIATE_TEST_SUITE_P(Texts, GbkRoundTrip,
    testing::Values(EncodingCase{"Empty", "", ""},
                    EncodingCase{"Ascii", "PlayPath=C:/x", "PlayPath=C:/x"},
                    EncodingCase{"Chinese", "中文", "\xD6\xD0\xCE\xC4"},
                    EncodingCase{"FullStop", "播放。", "\xB2\xA5\xB7\xC5\xA1\xA3"},
                    EncodingCase{"OutsideGbkFourBytes", "😀", "\x94\x39\xFC\x36"},
                    EncodingCase{"Mixed", "a中😀", "a\xD6\xD0\x94\x39\xFC\x36"}),
    [](const auto& info) { return info.param.name; });

struct DecodeCase {
    const char* name;
    std::string gbk;
    std::string utf8;
};

class GbkDecodeBadBytes : public testing::TestWithParam<DecodeCase> {};

TEST_P(GbkDecodeBadBytes, ReplacesWithoutFailing)
{
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Bytes, GbkDecodeBadBytes,
    testing::Values(DecodeCase{"ByteFF", "\xFF", "\uFFFD"},
                    DecodeCase{"LoneLeadAtEnd", "a\xD6", "a\uFFFD"},
                    DecodeCase{"LeadBeforeBlank", "\x81 b", "\uFFFD b"},
                    DecodeCase{"CutFourByteForm", "\x81\x30", "\uFFFD" "0"},
                    DecodeCase{"Code936Euro", "\x80", "€"}),
    [](const auto& info) { return info.param.name; });

TEST(GbkText, InvalidUtf8BecomesReplacementCharacterPerByte)
{
    const std::string fffd = "\x84\x31\xA4\x37";
    EXPECT_EQ(Utf8ToGbk("a\xC3"), "a" + fffd);
    EXPECT_EQ(Utf8ToGbk("\xED\xA0\x80"), fffd + fffd + fffd);  // a surrogate is not text
    EXPECT_EQ(Utf8ToGbk("\xC0\xAF中"), fffd + fffd + "\xD6\xD0");
    EXPECT_EQ(SanitizeUtf8("x\xFFy"), "x\uFFFDy");
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk("\xE4\xB8")), "\uFFFD\uFFFD");
}

struct CutCase {
    const char* name;
    std::string utf8;
    std::size_t maxBytes;
    std::string expected;
};

class GbkCut : public testing::TestWithParam<CutCase> {};

TEST_P(GbkCut, KeepsWholeCharacters)
{
    const std::string cut = CutToGbkBytes(GetParam().utf8, GetParam().maxBytes);
    EXPECT_EQ(cut, GetParam().expected);
    EXPECT_LE(GbkLength(cut), GetParam().maxBytes);
}

INSTANTIATE_TEST_SUITE_P(Cuts, GbkCut,
    testing::Values(CutCase{"Zero", "中a文", 0, ""},
                    CutCase{"SplitsFirstChinese", "中a文", 1, ""},
                    CutCase{"OneChinese", "中a文", 2, "中"},
                    CutCase{"ThenAscii", "中a文", 3, "中a"},
                    CutCase{"SplitsSecondChinese", "中a文", 4, "中a"},
                    CutCase{"Exact", "中a文", 5, "中a文"},
                    CutCase{"Roomy", "中a文", 100, "中a文"},
                    CutCase{"SplitsFourByteForm", "😀x", 3, ""},
                    CutCase{"AfterFourByteForm", "😀x", 5, "😀x"},
                    CutCase{"Ascii", "abcdef", 4, "abcd"},
                    CutCase{"InvalidByteCountsAsReplacement", "\xFF" "a", 4, "\uFFFD"},
                    CutCase{"ThirteenByteTitle", "一二三四五六七八", 13, "一二三四五六"}),
    [](const auto& info) { return info.param.name; });

TEST(GbkText, ConvertsOnManyThreadsAtOnce)
{
    const std::string utf8 = "频道-中文壁纸 😀 Kestova桌面";
    const std::string gbk = Utf8ToGbk(utf8);
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                if (Utf8ToGbk(utf8) != gbk || GbkToUtf8(gbk) != utf8) {
                    ++failures[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

} // namespace
} // namespace palvina
