// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "QtApplicationSupport.h"

#include "platform/WallpaperBackends.h"
#include "platform/XfceWallpaper.h"

#include "TestPictures.h"
#include "XTestSupport.h"
#include "XfconfTestSupport.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace palvina {
namespace {

using test::TempFolder;

constexpr std::uint32_t kRed = 0x0000ff;   // 0x00BBGGRR
constexpr std::uint32_t kBlue = 0xff0000;

// xfconfd of our own with its files in a temporary folder; xfdesktop when a test asks for it.
class XfceDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        xfconfd_ = std::make_unique<test::XfconfDaemon>(folder_.file("config"));
        if (!xfconfd_->ready()) {
            GTEST_SKIP() << "xfconfd is not installed or the name org.xfce.Xfconf is taken";
        }
    }
    void TearDown() override
    {
        if (xfdesktop_) {
            xfdesktop_->stop();
        }
        xfconfd_.reset();
    }

    // xfdesktop without a window manager; true once it has taken up its backdrop settings.
    bool startXfdesktop()
    {
        if (!test::ProgramAvailable("xfdesktop")) {
            return false;
        }
        // No file icons: xfdesktop would otherwise start a file manager on the bus.
        test::XfconfSet("/desktop-icons/style", "int", "0");
        xfdesktop_ = std::make_unique<test::BackgroundProgram>(
            std::vector<std::string>{"xfdesktop", "--disable-wm-check"},
            std::map<std::string, std::optional<std::string>>{{"XDG_CONFIG_HOME", folder_.file("config")},
                                                              {"NO_AT_BRIDGE", "1"}});
        return test::WaitUntil([] {
            for (const std::string& name : test::XfconfPropertyNames()) {
                if (name.size() > 12 && name.substr(name.size() - 12) == "/color-style") {
                    return true;
                }
            }
            return false;
        });
    }

    // The root window's colour at (100, 100), as 0xRRGGBB.
    std::uint32_t screenColour() const
    {
        xtest::TestDisplay display;
        const std::vector<std::uint32_t> pixels = display.readRgb(display.root(), 128, 128);
        return pixels.size() == 128U * 128U ? pixels[100 * 128 + 100] : 0xdeadbeef;
    }

    TempFolder folder_;
    std::unique_ptr<test::XfconfDaemon> xfconfd_;
    std::unique_ptr<test::BackgroundProgram> xfdesktop_;
};

TEST_F(XfceDesktop, SetsEveryBackdropThatExists)
{
    const std::vector<std::string> backdrops = {"/backdrop/screen0/monitorA/workspace0/",
                                                "/backdrop/screen0/monitorA/workspace1/",
                                                "/backdrop/screen0/monitorB/workspace0/"};
    for (const std::string& backdrop : backdrops) {
        ASSERT_TRUE(test::XfconfSet(backdrop + "last-image", "string", "/old.png"));
        ASSERT_TRUE(test::XfconfSet(backdrop + "image-style", "int", "5"));
    }
    ASSERT_TRUE(test::XfconfSet("/backdrop/screen0/monitorA/workspace0/last-image-note", "string", "keep"));

    std::filesystem::create_directory(folder_.file("壁纸 目录"));
    const std::string picture = folder_.file("壁纸 目录/图 1.bmp");
    test::WriteSolidBmp(picture, kRed);
    MakeXfceWallpaper()->apply({picture, "1", "0"});

    for (const std::string& backdrop : backdrops) {
        EXPECT_EQ(test::XfconfQuery(backdrop + "last-image"), picture) << backdrop;
        EXPECT_EQ(test::XfconfQuery(backdrop + "image-style"), "2") << backdrop;
    }
    EXPECT_EQ(test::XfconfQuery("/backdrop/screen0/monitorA/workspace0/last-image-note"), "keep");
    const WallpaperSettings read = MakeXfceWallpaper()->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "1");
    EXPECT_EQ(read.style, "0");
}

TEST_F(XfceDesktop, AFreshStoreGetsTheBackdropXfdesktopLooksFor)
{
    // Monitor names come from the GUI application, as in the player.
    if (!test::EnsureGuiApplication()) {
        GTEST_SKIP() << "another kind of application object exists";
    }
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, kRed);
    MakeXfceWallpaper()->apply({picture, "0", "2"});
    ASSERT_FALSE(test::XfconfPropertyNames().empty());

    if (!startXfdesktop()) {
        GTEST_SKIP() << "xfdesktop did not start";
    }
    // xfdesktop adds its colour settings to the backdrop of each monitor it draws: each of them
    // must be one we made, holding our picture.
    std::set<std::string> drawn;
    std::set<std::string> ours;
    for (const std::string& name : test::XfconfPropertyNames()) {
        const std::size_t slash = name.rfind('/');
        const std::string backdrop = name.substr(0, slash + 1);
        const std::string key = name.substr(slash + 1);
        if (key == "color-style") {
            drawn.insert(backdrop);
        } else if (key == "last-image") {
            ours.insert(backdrop);
            EXPECT_EQ(test::XfconfQuery(name), picture) << name;
            EXPECT_EQ(test::XfconfQuery(backdrop + "image-style"), "3") << name;
        }
    }
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, ours);
}

TEST_F(XfceDesktop, XfdesktopShowsThePictureAndItsNewContentUnderTheSamePath)
{
    if (!startXfdesktop()) {
        GTEST_SKIP() << "xfdesktop is not installed or did not start";
    }
    const std::string picture = folder_.file("Palvina.bmp");
    auto backend = MakeXfceWallpaper();

    // Just after its start xfdesktop may still be loading its first picture and miss a change:
    // it is ready once a picture of ours shows.
    const std::string warmUp = folder_.file("warm-up.bmp");
    test::WriteSolidBmp(warmUp, 0x00ff00);
    const bool ready = test::WaitUntil([&] {
        backend->apply({warmUp, "1", "0"});
        return test::WaitUntil([&] { return screenColour() == 0x00ff00; }, std::chrono::milliseconds(500));
    });
    ASSERT_TRUE(ready) << "xfdesktop never showed a picture";

    test::WriteSolidBmp(picture, kRed);
    backend->apply({picture, "1", "0"});
    EXPECT_TRUE(test::WaitUntil([&] { return screenColour() == 0xff0000; })) << std::hex << screenColour();

    test::WriteSolidBmp(picture, kBlue);
    backend->apply({picture, "1", "0"});
    EXPECT_TRUE(test::WaitUntil([&] { return screenColour() == 0x0000ff; })) << std::hex << screenColour();

    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "1");
    EXPECT_EQ(read.style, "0");
}

struct XfceModeCase {
    const char* tile;
    const char* style;
    const char* imageStyle;  // what xfdesktop is given
    const char* readTile;
    const char* readStyle;
};

class XfceModes : public XfceDesktop, public ::testing::WithParamInterface<XfceModeCase> {};

TEST_P(XfceModes, MapsTheValuesBothWays)
{
    const XfceModeCase& mode = GetParam();
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, kRed);
    auto backend = MakeXfceWallpaper();
    backend->apply({picture, mode.tile, mode.style});

    const std::vector<std::string> names = test::XfconfPropertyNames();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        if (name.size() > 12 && name.substr(name.size() - 12) == "/image-style") {
            EXPECT_EQ(test::XfconfQuery(name), mode.imageStyle) << name;
        }
    }
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, mode.readTile);
    EXPECT_EQ(read.style, mode.readStyle);
}

INSTANTIATE_TEST_SUITE_P(Values, XfceModes,
                         ::testing::Values(XfceModeCase{"1", "0", "2", "1", "0"}, XfceModeCase{"0", "0", "1", "0", "0"},
                                           XfceModeCase{"0", "2", "3", "0", "2"}, XfceModeCase{"0", "6", "4", "0", "6"},
                                           XfceModeCase{"0", "10", "5", "0", "10"},
                                           XfceModeCase{"0", "22", "6", "0", "22"},
                                           XfceModeCase{"0", "3", "1", "0", "0"}));

TEST_F(XfceDesktop, AnEmptyPathShowsNoPicture)
{
    auto backend = MakeXfceWallpaper();
    backend->apply({"", "1", "0"});
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, "");
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "0");
}

struct PropertyCase {
    const char* name;
    bool backdropImage;
};

class XfceBackdropProperty : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(XfceBackdropProperty, IsRecognised)
{
    EXPECT_EQ(IsXfceBackdropImageProperty(GetParam().name), GetParam().backdropImage) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, XfceBackdropProperty,
    ::testing::Values(PropertyCase{"/backdrop/screen0/monitor0/workspace0/last-image", true},
                      PropertyCase{"/backdrop/screen1/monitorVirtual-1/workspace12/last-image", true},
                      PropertyCase{"/backdrop/screen0/monitoreDP-1/workspace3/last-image", true},
                      PropertyCase{"/backdrop/screen0/monitor0/workspace0/last-image-x", false},
                      PropertyCase{"/backdrop/screen0/monitor0/workspace0/image-style", false},
                      PropertyCase{"/backdrop/screen0/monitor/workspace0/last-image", false},
                      PropertyCase{"/backdrop/screenA/monitor0/workspace0/last-image", false},
                      PropertyCase{"/backdrop/screen0/monitor0/workspace/last-image", false},
                      PropertyCase{"/backdrop/screen0/monitor0/last-image", false},
                      PropertyCase{"/backdrop/screen0/monitor0/workspace0/x/last-image", false},
                      PropertyCase{"/desktop-icons/screen0/monitor0/workspace0/last-image", false}));

} // namespace
} // namespace palvina
