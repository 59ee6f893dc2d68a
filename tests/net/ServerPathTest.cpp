#include "net/ServerPath.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

struct EncodeCase {
    const char* name;
    std::string input;
    std::string expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class EncodeServerPathTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeServerPathTest, EncodesGbkBytes)
{
    EXPECT_EQ(EncodeServerPath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeServerPathTest,
    ::testing::Values(
        EncodeCase{"PlainAscii", "PalvinaDown/update.dll", "PalvinaDown/update.dll"},
        EncodeCase{"Unreserved", "a-b_c.d~e/F9", "a-b_c.d~e/F9"},
        EncodeCase{"ChineseAsGbk", "PalvinaDown/Images/Class/风景.jpg",
                   "PalvinaDown/Images/Class/%B7%E7%BE%B0.jpg"},
        EncodeCase{"Blank", "a b.jpg", "a%20b.jpg"},
        EncodeCase{"PercentItself", "100%.jpg", "100%25.jpg"},
        EncodeCase{"AlreadyEncodedIsEncodedAgain", "a%20b", "a%2520b"},
        EncodeCase{"Reserved", "a+b&c=d?e#f;g:h@i", "a%2Bb%26c%3Dd%3Fe%23f%3Bg%3Ah%40i"},
        EncodeCase{"Backslash", "a\\b", "a%5Cb"},
        EncodeCase{"ControlAndDel", std::string("a\tb\x7f"), "a%09b%7F"},
        EncodeCase{"EuroSign", "€", "%A2%E3"},
        EncodeCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

class EncodeAbsoluteUrlTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeAbsoluteUrlTest, EncodesOnlyWhatCannotStand)
{
    EXPECT_EQ(EncodeAbsoluteUrl(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeAbsoluteUrlTest,
    ::testing::Values(
        EncodeCase{"Unchanged", "http://h.example:81/Share/1/config.dll?a=1&b=2#x",
                   "http://h.example:81/Share/1/config.dll?a=1&b=2#x"},
        EncodeCase{"AlreadyEncoded", "http://h/a%20b/%B7%E7.jpg", "http://h/a%20b/%B7%E7.jpg"},
        EncodeCase{"Blank", "http://h/a b.jpg", "http://h/a%20b.jpg"},
        EncodeCase{"ChineseAsGbk", "http://h/风景.jpg?n=景", "http://h/%B7%E7%BE%B0.jpg?n=%BE%B0"},
        EncodeCase{"Unsafe", "http://h/\"<>\\^`{|}", "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D"},
        EncodeCase{"ControlAndDel", std::string("http://h/a\r\nb\x7f"), "http://h/a%0D%0Ab%7F"},
        EncodeCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    std::string input;
    bool plain;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class IsPlainFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(IsPlainFileNameTest, Decides)
{
    EXPECT_EQ(IsPlainFileName(GetParam().input), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsPlainFileNameTest,
    ::testing::Values(
        NameCase{"Ascii", "ok.jpg", true},
        NameCase{"Chinese", "中文.jpg", true},
        NameCase{"LeadingDots", "..jpg", true},
        NameCase{"Blank", "a b.jpg", true},
        NameCase{"Empty", "", false},
        NameCase{"Dot", ".", false},
        NameCase{"DotDot", "..", false},
        NameCase{"Slash", "a/b", false},
        NameCase{"Backslash", "a\\b", false},
        NameCase{"Absolute", "/etc/passwd", false},
        NameCase{"ParentPrefix", "../x.jpg", false},
        NameCase{"TrailingSlash", "a/", false},
        NameCase{"NulByte", std::string("a\0b.jpg", 7), false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace palvina
