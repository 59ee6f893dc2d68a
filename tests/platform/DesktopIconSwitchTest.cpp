#include "platform/DesktopIconSwitch.h"

#include "GSettingsTestSupport.h"
#include "XTestSupport.h"
#include "XfconfTestSupport.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

using test::KeyFileValue;
using test::TempFolder;

// Each test keeps what the switch remembers ($XDG_CONFIG_HOME/kestova/desktop.ini) apart.
class IconSwitch : public ::testing::Test {
protected:
    TempFolder folder_;
    xtest::ScopedEnv configHome_{"XDG_CONFIG_HOME", folder_.file("config")};
};

class XfceIconSwitch : public IconSwitch {
protected:
    void SetUp() override
    {
        xfconfd_ = std::make_unique<test::XfconfDaemon>(folder_.file("xfconf"));
        if (!xfconfd_->ready()) {
            GTEST_SKIP() << "xfconfd is not installed or the name org.xfce.Xfconf is taken";
        }
    }
    void TearDown() override { xfconfd_.reset(); }

    std::unique_ptr<test::XfconfDaemon> xfconfd_;
};

TEST_F(XfceIconSwitch, HidesAndBringsBackTheStyleTheUserHad)
{
    ASSERT_TRUE(test::XfconfSet("/desktop-icons/style", "int", "1"));
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Xfce, false));
    EXPECT_EQ(test::XfconfQuery("/desktop-icons/style"), "0");
    // Hiding twice must not make "no icons" the style to come back to.
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Xfce, false));
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Xfce, true));
    EXPECT_EQ(test::XfconfQuery("/desktop-icons/style"), "1");
}

TEST_F(XfceIconSwitch, AFreshDesktopGetsFileIconsBack)
{
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Xfce, false));
    EXPECT_EQ(test::XfconfQuery("/desktop-icons/style"), "0");
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Xfce, true));
    EXPECT_EQ(test::XfconfQuery("/desktop-icons/style"), "2");
}

TEST_F(IconSwitch, MateTurnsCajasIconsOffAndOn)
{
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Mate, false));
    EXPECT_EQ(KeyFileValue("org/mate/desktop/background", "show-desktop-icons"), "false");
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Mate, true));
    EXPECT_EQ(KeyFileValue("org/mate/desktop/background", "show-desktop-icons"), "true");
}

// Nemo is not installed here: its desktop-layout key comes from a stand-in schema.
TEST_F(IconSwitch, CinnamonHidesNemosLayoutAndBringsItBack)
{
    if (!test::NemoStandInSchemaAvailable()) {
        GTEST_SKIP() << "glib-compile-schemas is not installed";
    }
    // Start from icons on every monitor, as the user may have chosen.
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Cinnamon, false));
    {
        xtest::ScopedEnv otherMemory("XDG_CONFIG_HOME", folder_.file("setup"));
        ASSERT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Cinnamon, true));
    }
    EXPECT_EQ(KeyFileValue("org/nemo/desktop", "desktop-layout"), "'true::false'");

    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Cinnamon, false));
    EXPECT_EQ(KeyFileValue("org/nemo/desktop", "desktop-layout"), "'false::false'");
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Cinnamon, false));
    EXPECT_TRUE(SetIconsThroughDesktopSwitch(DesktopKind::Cinnamon, true));
    EXPECT_EQ(KeyFileValue("org/nemo/desktop", "desktop-layout"), "'true::false'");
}

class NoDesktopSwitch : public IconSwitch, public ::testing::WithParamInterface<DesktopKind> {};

// These desktops have no switch that hides only the icons: the caller unmaps the desktop window.
TEST_P(NoDesktopSwitch, LeavesItToTheDesktopWindow)
{
    const std::string gnomeBefore = KeyFileValue("org/gnome/desktop/background", "show-desktop-icons");
    EXPECT_FALSE(SetIconsThroughDesktopSwitch(GetParam(), false));
    EXPECT_FALSE(SetIconsThroughDesktopSwitch(GetParam(), true));
    EXPECT_EQ(KeyFileValue("org/gnome/desktop/background", "show-desktop-icons"), gnomeBefore);
}

INSTANTIATE_TEST_SUITE_P(Desktops, NoDesktopSwitch,
                         ::testing::Values(DesktopKind::Gnome, DesktopKind::Lxde, DesktopKind::Lxqt, DesktopKind::Kde,
                                           DesktopKind::Other));

} // namespace
} // namespace palvina
