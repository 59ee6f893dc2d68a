#include "platform/Wallpaper.h"
#include "platform/WallpaperBackend.h"

#include "XTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace palvina {
namespace {

// Records what the facade hands over; can be told to fail.
struct FakeState {
    std::vector<WallpaperSettings> applied;
    WallpaperSettings shown{"/pictures/shown.bmp", "0", "2"};
    bool failApply = false;
    bool failRead = false;
};

class FakeBackend : public WallpaperBackend {
public:
    explicit FakeBackend(FakeState& state)
        : state_(state)
    {
    }
    void apply(const WallpaperSettings& settings) override
    {
        if (state_.failApply) {
            throw std::runtime_error("the desktop refused");
        }
        state_.applied.push_back(settings);
    }
    WallpaperSettings read() override
    {
        if (state_.failRead) {
            throw std::runtime_error("the desktop is gone");
        }
        return state_.shown;
    }
    const char* name() const override { return "fake"; }

private:
    FakeState& state_;
};

class WallpaperFacade : public ::testing::Test {
protected:
    void SetUp() override { SetWallpaperBackend(std::make_unique<FakeBackend>(state_)); }
    void TearDown() override { SetWallpaperBackend(nullptr); }

    FakeState state_;
};

struct EmptyValueCase {
    const char* tile;
    const char* style;
    const char* expectedTile;
    const char* expectedStyle;
};

class WallpaperFacadeValues : public WallpaperFacade, public ::testing::WithParamInterface<EmptyValueCase> {};

TEST_P(WallpaperFacadeValues, DefaultsBothValuesWhenEitherIsBlank)
{
    const EmptyValueCase& c = GetParam();
    ApplyWallpaper("/pictures/a b.bmp", c.tile, c.style);
    ASSERT_EQ(state_.applied.size(), 1u);
    EXPECT_EQ(state_.applied[0].path, "/pictures/a b.bmp");
    EXPECT_EQ(state_.applied[0].tile, c.expectedTile);
    EXPECT_EQ(state_.applied[0].style, c.expectedStyle);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WallpaperFacadeValues,
    ::testing::Values(EmptyValueCase{"2", "", "1", "0"}, EmptyValueCase{"", "2", "1", "0"},
                      EmptyValueCase{"0", " \t ", "1", "0"}, EmptyValueCase{"\r\n", "22", "1", "0"},
                      EmptyValueCase{"", "", "1", "0"},
                      // Values that are there pass through as given, blanks included.
                      EmptyValueCase{"0", "2", "0", "2"}, EmptyValueCase{" 0 ", "10 ", " 0 ", "10 "},
                      EmptyValueCase{"1", "0", "1", "0"}));

TEST_F(WallpaperFacade, EmptyPathIsHandedOnAsNoPicture)
{
    ApplyWallpaper("", "0", "0");
    ASSERT_EQ(state_.applied.size(), 1u);
    EXPECT_EQ(state_.applied[0].path, "");
}

TEST_F(WallpaperFacade, ApplySwallowsBackendErrorsAndKeepsWorking)
{
    state_.failApply = true;
    EXPECT_NO_THROW(ApplyWallpaper("/pictures/x.bmp", "1", "0"));
    EXPECT_TRUE(state_.applied.empty());
    state_.failApply = false;
    ApplyWallpaper("/pictures/y.bmp", "1", "0");
    ASSERT_EQ(state_.applied.size(), 1u);
    EXPECT_EQ(state_.applied[0].path, "/pictures/y.bmp");
}

TEST_F(WallpaperFacade, ReadGivesTheBackendsValues)
{
    std::string path = "old";
    std::string tile = "old";
    std::string style = "old";
    ReadWallpaperSettings(path, tile, style);
    EXPECT_EQ(path, "/pictures/shown.bmp");
    EXPECT_EQ(tile, "0");
    EXPECT_EQ(style, "2");
}

TEST_F(WallpaperFacade, ReadSwallowsErrorsAndLeavesEmptyValues)
{
    state_.failRead = true;
    std::string path = "old";
    std::string tile = "old";
    std::string style = "old";
    EXPECT_NO_THROW(ReadWallpaperSettings(path, tile, style));
    EXPECT_EQ(path, "");
    EXPECT_EQ(tile, "");
    EXPECT_EQ(style, "");
}

TEST_F(WallpaperFacade, InstalledBackendIsTheCurrentOne)
{
    EXPECT_STREQ(CurrentWallpaperBackend().name(), "fake");
}

TEST(WallpaperBackendChoice, WithoutAKnownRunningDesktopIsTheXRoot)
{
    const xtest::ScopedEnv unknown("XDG_CURRENT_DESKTOP", "i3");
    EXPECT_STREQ(ChooseWallpaperBackend()->name(), "x-root");
    // Named but not running in this session.
    const xtest::ScopedEnv kde("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_STREQ(ChooseWallpaperBackend()->name(), "x-root");
}

TEST(WallpaperBackendChoice, ResettingChoosesAgainOnNextUse)
{
    const xtest::ScopedEnv none("XDG_CURRENT_DESKTOP", std::nullopt);
    FakeState state;
    SetWallpaperBackend(std::make_unique<FakeBackend>(state));
    ASSERT_STREQ(CurrentWallpaperBackend().name(), "fake");
    SetWallpaperBackend(nullptr);
    EXPECT_STREQ(CurrentWallpaperBackend().name(), "x-root");
}

} // namespace
} // namespace palvina
