#include "compose/MaskOption.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

namespace palvina {
namespace {

struct OptionCase {
    const char* text;
    bool expected;
};

class MaskOptionTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(MaskOptionTest, ReadsFlags)
{
    EXPECT_EQ(ReadMaskOption(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Flags, MaskOptionTest,
                         ::testing::Values(OptionCase{"-1", true}, OptionCase{"0", false}, OptionCase{"1", true},
                                           OptionCase{"2", true}, OptionCase{"True", true},
                                           OptionCase{"tRUE", true}, OptionCase{"FALSE", false},
                                           OptionCase{"false", false}, OptionCase{"+0", false}));

class MaskOptionErrorTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MaskOptionErrorTest, RejectsOtherTexts)
{
    EXPECT_THROW(ReadMaskOption(GetParam()), ConvertError);
}

INSTANTIATE_TEST_SUITE_P(NotFlags, MaskOptionErrorTest,
                         ::testing::Values("", " ", "yes", "T", "-1 ", " 0", "0x1", "1.5", "truee"));

} // namespace
} // namespace palvina
