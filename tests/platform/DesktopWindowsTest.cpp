#include "platform/DesktopWindows.h"

#include "XTestSupport.h"

#include <gtest/gtest.h>

namespace palvina {
namespace {

class DesktopWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(display_.get(), nullptr) << "these tests need an X display"; }

    // Maps the window and waits until the server has done it.
    void Show(Window window) const
    {
        XMapWindow(display_.get(), window);
        XSync(display_.get(), False);
    }

    // No desktop of the session's own: the icon view is our desktop-type window.
    const xtest::ScopedEnv desktop_{"XDG_CURRENT_DESKTOP", std::nullopt};
    xtest::TestDisplay display_;
};

TEST_F(DesktopWindowsTest, PointerOverTheBareRootIsOnTheDesktop)
{
    display_.warpPointer(5, 5);
    EXPECT_TRUE(IsPointerOnBareDesktop());
}

// What lies under the pointer, as a window manager would or would not have framed it.
struct PointerCase {
    const char* name;
    bool framed;       // a frame window (no WM_STATE) holds the client, which has WM_STATE
    const char* type;  // the client's _NET_WM_WINDOW_TYPE, or nullptr for none
    bool onDesktop;
};

class PointerOverWindow : public DesktopWindowsTest, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(PointerOverWindow, IsOnTheDesktopOnlyForADesktopTypeClient)
{
    const PointerCase& c = GetParam();
    const Window topLevel = display_.makeWindow(100, 100, 200, 150);
    Window client = topLevel;
    if (c.framed) {
        client = display_.makeWindow(4, 20, 190, 120, topLevel);
        display_.setWmState(client);
        Show(client);
    }
    if (c.type) {
        display_.setWindowType(client, c.type);
    }
    Show(topLevel);

    display_.warpPointer(150, 150);
    EXPECT_EQ(IsPointerOnBareDesktop(), c.onDesktop);
    // Beside the window the root is bare again.
    display_.warpPointer(400, 400);
    EXPECT_TRUE(IsPointerOnBareDesktop());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PointerOverWindow,
    ::testing::Values(PointerCase{"DesktopTopLevel", false, "_NET_WM_WINDOW_TYPE_DESKTOP", true},
                      PointerCase{"NormalTopLevel", false, "_NET_WM_WINDOW_TYPE_NORMAL", false},
                      PointerCase{"UntypedTopLevel", false, nullptr, false},
                      PointerCase{"FramedDesktop", true, "_NET_WM_WINDOW_TYPE_DESKTOP", true},
                      PointerCase{"FramedNormal", true, "_NET_WM_WINDOW_TYPE_NORMAL", false},
                      PointerCase{"DockIsNotTheDesktop", false, "_NET_WM_WINDOW_TYPE_DOCK", false}),
    [](const ::testing::TestParamInfo<PointerCase>& info) { return std::string(info.param.name); });

TEST_F(DesktopWindowsTest, PointerOverANormalWindowAboveTheDesktopWindowIsNotOnTheDesktop)
{
    const Window desktop = display_.makeWindow(0, 0, display_.width(), display_.height());
    display_.setWindowType(desktop, "_NET_WM_WINDOW_TYPE_DESKTOP");
    Show(desktop);
    const Window normal = display_.makeWindow(50, 50, 100, 100);
    Show(normal);

    display_.warpPointer(60, 60);
    EXPECT_FALSE(IsPointerOnBareDesktop());
    display_.warpPointer(500, 500);
    EXPECT_TRUE(IsPointerOnBareDesktop());
}

TEST_F(DesktopWindowsTest, WithoutADisplayThePointerIsNotOnTheDesktop)
{
    const xtest::ScopedEnv noDisplay("DISPLAY", std::nullopt);
    EXPECT_FALSE(IsPointerOnBareDesktop());
    EXPECT_NO_THROW(SetDesktopIconViewVisible(false));
}

TEST_F(DesktopWindowsTest, IconViewIsUnmappedAndMappedAgain)
{
    const Window desktop = display_.makeWindow(0, 0, display_.width(), display_.height());
    display_.setWindowType(desktop, "_NET_WM_WINDOW_TYPE_DESKTOP");
    Show(desktop);
    const Window normal = display_.makeWindow(50, 50, 100, 100);
    Show(normal);
    ASSERT_EQ(display_.mapState(desktop), IsViewable);

    SetDesktopIconViewVisible(false);
    EXPECT_EQ(display_.mapState(desktop), IsUnmapped);
    EXPECT_EQ(display_.mapState(normal), IsViewable) << "only the desktop window is hidden";

    SetDesktopIconViewVisible(false);
    EXPECT_EQ(display_.mapState(desktop), IsUnmapped);

    SetDesktopIconViewVisible(true);
    EXPECT_EQ(display_.mapState(desktop), IsViewable);
    EXPECT_EQ(display_.mapState(normal), IsViewable);
}

TEST_F(DesktopWindowsTest, WithoutAnIconViewNothingChanges)
{
    const Window normal = display_.makeWindow(50, 50, 100, 100);
    Show(normal);
    const Window hidden = display_.makeWindow(200, 50, 100, 100);
    XSync(display_.get(), False);

    SetDesktopIconViewVisible(false);
    EXPECT_EQ(display_.mapState(normal), IsViewable);
    SetDesktopIconViewVisible(true);
    EXPECT_EQ(display_.mapState(hidden), IsUnmapped);
}

} // namespace
} // namespace palvina
