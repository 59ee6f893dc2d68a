#include "platform/WallpaperMode.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

struct ValuesToMode {
    const char* tile;
    const char* style;
    WallpaperMode mode;
};

class ModeFromValuesTest : public ::testing::TestWithParam<ValuesToMode> {};

TEST_P(ModeFromValuesTest, MapsTheWindowsValues)
{
    const ValuesToMode& c = GetParam();
    EXPECT_EQ(ModeFromWindowsValues(c.tile, c.style), c.mode) << "tile '" << c.tile << "' style '" << c.style << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Values, ModeFromValuesTest,
    ::testing::Values(ValuesToMode{"1", "0", WallpaperMode::Tiled},
                      // Tile wins whatever the style says.
                      ValuesToMode{"1", "2", WallpaperMode::Tiled}, ValuesToMode{"1", "", WallpaperMode::Tiled},
                      ValuesToMode{"0", "0", WallpaperMode::Centred}, ValuesToMode{"0", "2", WallpaperMode::Stretched},
                      ValuesToMode{"0", "6", WallpaperMode::Fit}, ValuesToMode{"0", "10", WallpaperMode::Fill},
                      ValuesToMode{"0", "22", WallpaperMode::Span},
                      // Blanks around either value do not count.
                      ValuesToMode{" 1 ", "0", WallpaperMode::Tiled}, ValuesToMode{"\t0", " 22\r\n", WallpaperMode::Span},
                      ValuesToMode{"0", " 10 ", WallpaperMode::Fill},
                      // Anything that is not exactly "1" is not tiled; unknown styles centre.
                      ValuesToMode{"2", "6", WallpaperMode::Fit}, ValuesToMode{"01", "2", WallpaperMode::Stretched},
                      ValuesToMode{"", "", WallpaperMode::Centred}, ValuesToMode{"0", "3", WallpaperMode::Centred},
                      ValuesToMode{"0", "02", WallpaperMode::Centred}, ValuesToMode{"0", "fill", WallpaperMode::Centred},
                      ValuesToMode{"0", "-2", WallpaperMode::Centred}));

struct ModeToValues {
    WallpaperMode mode;
    const char* tile;
    const char* style;
};

class ValuesFromModeTest : public ::testing::TestWithParam<ModeToValues> {};

TEST_P(ValuesFromModeTest, GivesTheWindowsValues)
{
    const ModeToValues& c = GetParam();
    std::string tile = "junk";
    std::string style = "junk";
    WindowsValuesFromMode(c.mode, tile, style);
    EXPECT_EQ(tile, c.tile);
    EXPECT_EQ(style, c.style);
    // Every mode but None comes back as itself.
    if (c.mode != WallpaperMode::None) {
        EXPECT_EQ(ModeFromWindowsValues(tile, style), c.mode);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ValuesFromModeTest,
                         ::testing::Values(ModeToValues{WallpaperMode::Tiled, "1", "0"},
                                           ModeToValues{WallpaperMode::Centred, "0", "0"},
                                           ModeToValues{WallpaperMode::Stretched, "0", "2"},
                                           ModeToValues{WallpaperMode::Fit, "0", "6"},
                                           ModeToValues{WallpaperMode::Fill, "0", "10"},
                                           ModeToValues{WallpaperMode::Span, "0", "22"},
                                           ModeToValues{WallpaperMode::None, "0", "0"}));

TEST(TrimWallpaperValueTest, RemovesBlanksAndControlCharactersAtBothEndsOnly)
{
    EXPECT_EQ(TrimWallpaperValue(" \t1 0\r\n"), "1 0");
    EXPECT_EQ(TrimWallpaperValue("   "), "");
    EXPECT_EQ(TrimWallpaperValue(""), "");
    // Bytes of multi-byte characters are above ' ' and stay.
    EXPECT_EQ(TrimWallpaperValue(" 平铺 "), "平铺");
}

} // namespace
} // namespace palvina
