#include "compose/FitValues.h"

#include <gtest/gtest.h>

#include <ostream>

namespace palvina {
namespace {

enum class Rule { Background, Frame };

struct FitCase {
    Rule rule;
    int pictureWidth, pictureHeight, screenWidth, screenHeight;
    FitValues expected;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << (c.rule == Rule::Background ? "background " : "frame ") << c.pictureWidth << "x" << c.pictureHeight
        << " on " << c.screenWidth << "x" << c.screenHeight;
}

class FitValuesTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitValuesTest, GivesSizeAndPosition)
{
    const FitCase& c = GetParam();
    const FitValues fit = c.rule == Rule::Background
                            ? FitOnBackground(c.pictureWidth, c.pictureHeight, c.screenWidth, c.screenHeight)
                            : FitInFrame(c.pictureWidth, c.pictureHeight, c.screenWidth, c.screenHeight);
    EXPECT_EQ(fit.width, c.expected.width);
    EXPECT_EQ(fit.height, c.expected.height);
    EXPECT_EQ(fit.offX, c.expected.offX);
    EXPECT_EQ(fit.offY, c.expected.offY);
}

constexpr Rule B = Rule::Background;
constexpr Rule F = Rule::Frame;

INSTANTIATE_TEST_SUITE_P(
    Screen1024x768, FitValuesTest,
    ::testing::Values(FitCase{B, 640, 480, 1024, 768, {640, 480, 192, 144}},
                      FitCase{B, 1600, 1200, 1024, 768, {1024, 768, 0, 0}},
                      FitCase{B, 1600, 1400, 1024, 768, {1024, 896, 0, -64}},
                      FitCase{B, 1000, 1000, 1024, 768, {1024, 1024, 0, -128}},
                      FitCase{B, 800, 1200, 1024, 768, {512, 768, 256, 0}},
                      FitCase{B, 2000, 600, 1024, 768, {1024, 307, 0, 230}},
                      FitCase{B, 1000, 700, 1024, 768, {1000, 700, 12, 34}},
                      FitCase{F, 640, 480, 1024, 768, {640, 480, 284, 100}},
                      FitCase{F, 1600, 1200, 1024, 768, {624, 468, 300, 100}},
                      FitCase{F, 600, 1000, 1024, 768, {340, 568, 584, 100}},
                      FitCase{F, 3000, 1000, 1024, 768, {624, 208, 300, 100}}));

INSTANTIATE_TEST_SUITE_P(
    MoreCases, FitValuesTest,
    ::testing::Values(
        // Exactly the screen's size fits; one pixel more in one direction scales.
        FitCase{B, 1024, 768, 1024, 768, {1024, 768, 0, 0}},
        FitCase{B, 1025, 768, 1024, 768, {1024, 767, 0, 0}},
        // Odd differences halve toward zero.
        FitCase{B, 641, 481, 1024, 768, {641, 481, 191, 143}},
        // Scaled height equal to the screen's width stays fitted to the width.
        FitCase{B, 1025, 1025, 1024, 768, {1024, 1024, 0, -128}},
        // Taller than the screen only: fitted to the height and centred across.
        FitCase{B, 300, 1000, 1024, 768, {230, 768, 397, 0}},
        // A thin line keeps at least one pixel instead of vanishing.
        FitCase{B, 5000, 2, 1024, 768, {1024, 1, 0, 383}},
        FitCase{F, 1000, 10, 1920, 1080, {1000, 10, 820, 100}},
        // Room below is checked with the width already reduced for the room on the left.
        FitCase{F, 1000, 1099, 1024, 768, {517, 568, 407, 100}},
        FitCase{F, 800, 700, 1024, 768, {649, 568, 275, 100}},
        FitCase{F, 524, 568, 1024, 768, {524, 568, 400, 100}},
        FitCase{F, 524, 569, 1024, 768, {523, 568, 401, 100}}));

} // namespace
} // namespace palvina
