#include "files/ColorText.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace palvina {
namespace {

struct ReadCase {
    const char* text;
    std::uint32_t colour;
};

class ColorTextRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ColorTextRead, Reads)
{
    EXPECT_EQ(TextToColor(GetParam().text), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Texts, ColorTextRead,
    testing::Values(ReadCase{"clBlack", 0x000000}, ReadCase{"clNavy", 0x800000}, ReadCase{"CLNAVY", 0x800000},
                    ReadCase{"clred", 0x0000FF}, ReadCase{"clSkyBlue", 0xF0CAA6}, ReadCase{"clCream", 0xF0FBFF},
                    ReadCase{"clMedGray", 0xA4A0A0}, ReadCase{"clMoneyGreen", 0xC0DCC0},
                    ReadCase{"clBtnFace", 0xFF00000F}, ReadCase{"clscrollbar", 0xFF000000},
                    ReadCase{"clHotLight", 0xFF00001A}, ReadCase{"clMenuBar", 0xFF00001E},
                    ReadCase{"clNone", 0x1FFFFFFF}, ReadCase{"clDefault", 0x20000000},
                    ReadCase{"$00204080", 0x00204080}, ReadCase{"$ff", 0xFF}, ReadCase{"$FFFFFFFF", 0xFFFFFFFF},
                    ReadCase{"$000000000080", 0x80}, ReadCase{"255", 255}, ReadCase{"+16", 16},
                    ReadCase{"-16777201", 0xFF00000F}, ReadCase{"2147483647", 0x7FFFFFFF}));

class ColorTextBad : public testing::TestWithParam<const char*> {};

TEST_P(ColorTextBad, Throws)
{
    EXPECT_THROW(TextToColor(GetParam()), ConvertError);
}

INSTANTIATE_TEST_SUITE_P(Texts, ColorTextBad,
    testing::Values("", "cl", "Red", "clReddish", " clRed", "$", "$1G", "$100000000", "0x80", "12abc", " 1",
                    "4294967295", "-", "$-1"));

TEST(ColorText, ErrorNamesTheText)
{
    try {
        TextToColor("teal");
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'teal' is not a valid colour value");
    }
}

struct WriteCase {
    std::uint32_t colour;
    const char* text;
};

class ColorTextWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ColorTextWrite, WritesAndReadsBack)
{
    EXPECT_EQ(ColorToText(GetParam().colour), GetParam().text);
    EXPECT_EQ(TextToColor(GetParam().text), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColorTextWrite,
    testing::Values(WriteCase{0x000000, "clBlack"}, WriteCase{0x800000, "clNavy"}, WriteCase{0xFFFFFF, "clWhite"},
                    WriteCase{0xF0FBFF, "clCream"}, WriteCase{0xA4A0A0, "clMedGray"},
                    WriteCase{0x00204080, "$00204080"}, WriteCase{0x00ABCDEF, "$00ABCDEF"},
                    WriteCase{0xFF00000F, "$FF00000F"}, WriteCase{0x1FFFFFFF, "$1FFFFFFF"}));

struct RgbCase {
    std::uint32_t colour;
    std::uint32_t rgb;
};

class ColorRgb : public testing::TestWithParam<RgbCase> {};

TEST_P(ColorRgb, MapsSystemColours)
{
    EXPECT_EQ(ColorToRgb(GetParam().colour), GetParam().rgb);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColorRgb,
    testing::Values(RgbCase{0x00204080, 0x00204080}, RgbCase{0xFF00000F, 0xF0F0F0} /* clBtnFace */,
                    RgbCase{0xFF000005, 0xFFFFFF} /* clWindow */, RgbCase{0xFF000008, 0x000000} /* clWindowText */,
                    RgbCase{0xFF00000D, 0xD77800} /* clHighlight */, RgbCase{0xFF0000FF, 0x000000} /* no such */,
                    RgbCase{0x12345678, 0x345678}));

} // namespace
} // namespace palvina
