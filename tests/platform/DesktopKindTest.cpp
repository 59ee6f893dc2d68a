// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include <QtDBus/QDBusConnection>

#include "platform/DesktopKind.h"

#include "XTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

struct XdgCase {
    const char* value;
    DesktopKind kind;
};

class XdgCurrentDesktop : public ::testing::TestWithParam<XdgCase> {};

TEST_P(XdgCurrentDesktop, NamesTheDesktop)
{
    EXPECT_EQ(DesktopFromXdgCurrentDesktop(GetParam().value), GetParam().kind) << "'" << GetParam().value << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Values, XdgCurrentDesktop,
    ::testing::Values(XdgCase{"GNOME", DesktopKind::Gnome}, XdgCase{"ubuntu:GNOME", DesktopKind::Gnome},
                      XdgCase{"gnome", DesktopKind::Gnome}, XdgCase{"GNOME-Classic:GNOME", DesktopKind::Gnome},
                      XdgCase{"GNOME-Flashback:GNOME", DesktopKind::Gnome}, XdgCase{"Unity", DesktopKind::Gnome},
                      XdgCase{"Unity:Unity7:ubuntu", DesktopKind::Gnome}, XdgCase{"Budgie:GNOME", DesktopKind::Gnome},
                      XdgCase{"X-Cinnamon", DesktopKind::Cinnamon}, XdgCase{"cinnamon", DesktopKind::Cinnamon},
                      XdgCase{"MATE", DesktopKind::Mate}, XdgCase{"XFCE", DesktopKind::Xfce},
                      XdgCase{"xfce", DesktopKind::Xfce}, XdgCase{"LXDE", DesktopKind::Lxde},
                      XdgCase{"LXQt", DesktopKind::Lxqt}, XdgCase{"lxqt", DesktopKind::Lxqt},
                      XdgCase{"KDE", DesktopKind::Kde}, XdgCase{"kde", DesktopKind::Kde},
                      // The first known part wins; unknown ones are passed over.
                      XdgCase{"i3:KDE", DesktopKind::Kde}, XdgCase{"::XFCE", DesktopKind::Xfce},
                      XdgCase{"KDE:GNOME", DesktopKind::Kde},
                      // Parts are whole names, not pieces of them.
                      XdgCase{"GNOMEX", DesktopKind::Other}, XdgCase{"X-GNOME", DesktopKind::Other},
                      XdgCase{"KDE ", DesktopKind::Other}, XdgCase{"", DesktopKind::Other},
                      XdgCase{":", DesktopKind::Other}, XdgCase{"i3", DesktopKind::Other},
                      XdgCase{"ubuntu", DesktopKind::Other}, XdgCase{"Pantheon", DesktopKind::Other}));

// Owns a name on the session bus while it lives.
class BusNameOwner {
public:
    explicit BusNameOwner(const QString& name)
        : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("palvina-owner")))
        , owned_(connection_.isConnected() && connection_.registerService(name))
    {
    }
    ~BusNameOwner() { QDBusConnection::disconnectFromBus(QStringLiteral("palvina-owner")); }
    BusNameOwner(const BusNameOwner&) = delete;
    BusNameOwner& operator=(const BusNameOwner&) = delete;

    bool owned() const { return owned_; }

private:
    QDBusConnection connection_;
    bool owned_;
};

TEST(DesktopRunning, SessionBusNameOfTheDesktopConfirmsIt)
{
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Kde));
    const xtest::ScopedEnv kde("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(DetectRunningDesktop(), DesktopKind::Other) << "named but not running";
    {
        BusNameOwner plasma(QStringLiteral("org.kde.plasmashell"));
        ASSERT_TRUE(plasma.owned()) << "these tests need a session bus";
        EXPECT_TRUE(IsDesktopRunning(DesktopKind::Kde));
        EXPECT_FALSE(IsDesktopRunning(DesktopKind::Xfce));
        EXPECT_EQ(DetectRunningDesktop(), DesktopKind::Kde);

        const xtest::ScopedEnv other("XDG_CURRENT_DESKTOP", std::nullopt);
        EXPECT_EQ(DetectRunningDesktop(), DesktopKind::Other) << "running but not the session's desktop";
    }
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Kde));
}

TEST(DesktopRunning, NameUnderABusPrefixConfirmsIt)
{
    BusNameOwner budgie(QStringLiteral("org.buddiesofbudgie.BudgieWM"));
    ASSERT_TRUE(budgie.owned());
    EXPECT_TRUE(IsDesktopRunning(DesktopKind::Gnome));
}

TEST(DesktopRunning, XfconfAloneDoesNotMakeXfceRun)
{
    BusNameOwner xfconf(QStringLiteral("org.xfce.Xfconf"));
    ASSERT_TRUE(xfconf.owned());
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Xfce));
}

TEST(DesktopRunning, DesktopWindowClassConfirmsIt)
{
    xtest::TestDisplay display;
    ASSERT_NE(display.get(), nullptr) << "these tests need an X display";
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Lxde));

    // The class alone on an ordinary window is not enough.
    const Window ordinary = display.makeWindow(0, 0, 50, 50);
    display.setClass(ordinary, "pcmanfm", "Pcmanfm");
    XMapWindow(display.get(), ordinary);
    XSync(display.get(), False);
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Lxde));

    const Window desktop = display.makeWindow(0, 0, display.width(), display.height());
    display.setClass(desktop, "pcmanfm", "Pcmanfm");
    display.setWindowType(desktop, "_NET_WM_WINDOW_TYPE_DESKTOP");
    XMapWindow(display.get(), desktop);
    XSync(display.get(), False);
    EXPECT_TRUE(IsDesktopRunning(DesktopKind::Lxde));
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Lxqt));
    const xtest::ScopedEnv lxde("XDG_CURRENT_DESKTOP", "LXDE");
    EXPECT_EQ(DetectRunningDesktop(), DesktopKind::Lxde);
}

TEST(DesktopRunning, OtherIsNeverRunning)
{
    EXPECT_FALSE(IsDesktopRunning(DesktopKind::Other));
}

} // namespace
} // namespace palvina
