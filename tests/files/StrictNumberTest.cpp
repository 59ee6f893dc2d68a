#include "files/Errors.h"
#include "files/StrictNumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace palvina {
namespace {

struct GoodCase {
    const char* text;
    int value;
};

class StrictNumberGood : public testing::TestWithParam<GoodCase> {};

TEST_P(StrictNumberGood, Converts)
{
    EXPECT_EQ(ParseStrictInt(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, StrictNumberGood,
    testing::Values(GoodCase{"0", 0}, GoodCase{"15000", 15000}, GoodCase{"+7", 7}, GoodCase{"-1", -1},
                    GoodCase{"007", 7}, GoodCase{"-0", 0}, GoodCase{"2147483647", INT_MAX},
                    GoodCase{"-2147483648", INT_MIN}));

class StrictNumberBad : public testing::TestWithParam<const char*> {};

TEST_P(StrictNumberBad, Throws)
{
    try {
        ParseStrictInt(GetParam());
        FAIL() << "no error for '" << GetParam() << "'";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.what(), "'" + std::string(GetParam()) + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrictNumberBad,
    testing::Values("", " ", "abc", "12abc", " 12", "12 ", "+", "-", "1.5", "$10", "0x10", "2147483648",
                    "-2147483649", "99999999999999999999", "1e3", "--1"));

} // namespace
} // namespace palvina
