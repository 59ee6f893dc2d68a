#include "platform/XRootWallpaper.h"

#include "compose/BmpFile.h"
#include "compose/Fills.h"
#include "files/Errors.h"
#include "files/GbkText.h"
#include "files/TempFolder.h"
#include "platform/Wallpaper.h"
#include "platform/XErrorTrap.h"

#include "XServerResources.h"
#include "XTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace palvina {
namespace {

// 0x00BBGGRR colours of the four quadrants; every component is 0 or 255, so that they come
// back unchanged from a display of any colour depth. Each quadrant differs between the two.
struct Quadrants {
    std::uint32_t topLeft;
    std::uint32_t topRight;
    std::uint32_t bottomLeft;
    std::uint32_t bottomRight;
};
constexpr Quadrants kFirstColours{0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
constexpr Quadrants kSecondColours{0xFFFFFF, 0xFF00FF, 0xFFFF00, 0x0000FF};

// Odd sizes: the tiles end in part tiles at the right and bottom edges of the screen.
constexpr int kPictureWidth = 37;
constexpr int kPictureHeight = 23;
constexpr int kSplitX = 18;
constexpr int kSplitY = 11;

std::uint32_t ToRgb(std::uint32_t bgr)
{
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

std::uint32_t QuadrantColour(const Quadrants& q, int x, int y)
{
    if (y < kSplitY) {
        return x < kSplitX ? q.topLeft : q.topRight;
    }
    return x < kSplitX ? q.bottomLeft : q.bottomRight;
}

void WriteQuadrantPicture(const std::string& path, const Quadrants& q)
{
    Bitmap picture(kPictureWidth, kPictureHeight);
    FillRectangle(picture, 0, 0, kSplitX, kSplitY, q.topLeft);
    FillRectangle(picture, kSplitX, 0, kPictureWidth, kSplitY, q.topRight);
    FillRectangle(picture, 0, kSplitY, kSplitX, kPictureHeight, q.bottomLeft);
    FillRectangle(picture, kSplitX, kSplitY, kPictureWidth, kPictureHeight, q.bottomRight);
    WriteBmpFile(picture, path);
}

class XRootWallpaperTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(display_.get(), nullptr) << "these tests need an X display"; }

    // The number of screen pixels that differ from the quadrant picture tiled from (0, 0).
    int TilingMismatches(Drawable drawable, const Quadrants& q, std::string& first) const
    {
        const int width = display_.width();
        const int height = display_.height();
        const std::vector<std::uint32_t> pixels = display_.readRgb(drawable, width, height);
        if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
            first = "the pixels could not be read";
            return width * height;
        }
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t expected = ToRgb(QuadrantColour(q, x % kPictureWidth, y % kPictureHeight));
                const std::uint32_t actual = pixels[static_cast<std::size_t>(y) * width + x];
                if (actual != expected && mismatches++ == 0) {
                    first = "(" + std::to_string(x) + "," + std::to_string(y) + ") is " + std::to_string(actual)
                            + ", expected " + std::to_string(expected);
                }
            }
        }
        return mismatches;
    }

    void ExpectTiled(const Quadrants& q) const
    {
        const Pixmap pixmap = display_.rootPixmapProperty("_XROOTPMAP_ID");
        ASSERT_NE(pixmap, 0u);
        EXPECT_EQ(display_.rootPixmapProperty("ESETROOT_PMAP_ID"), pixmap);
        std::string first;
        EXPECT_EQ(TilingMismatches(pixmap, q, first), 0) << "root pixmap: " << first;
        EXPECT_EQ(TilingMismatches(display_.root(), q, first), 0) << "root window: " << first;
    }

    bool PixmapExists(Pixmap pixmap) const
    {
        XErrorTrap trap(display_.get());
        Window root = 0;
        int x = 0;
        int y = 0;
        unsigned w = 0;
        unsigned h = 0;
        unsigned border = 0;
        unsigned depth = 0;
        const Status answered = XGetGeometry(display_.get(), pixmap, &root, &x, &y, &w, &h, &border, &depth);
        return !trap.syncAndCheckError() && answered != 0;
    }

    test::TempFolder folder_;
    const xtest::ScopedEnv config_{"XDG_CONFIG_HOME", folder_.path() + "config"};
    xtest::TestDisplay display_;
    XRootWallpaper backend_;
};

TEST_F(XRootWallpaperTest, TilesThePictureFromTheTopLeftOnPixmapAndRoot)
{
    const std::string picture = folder_.file("tile.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "1", "0"});
    ExpectTiled(kFirstColours);
}

TEST_F(XRootWallpaperTest, SamePathWithNewContentShowsItAndFreesTheOldPixmap)
{
    const std::string picture = folder_.file("same.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "1", "0"});
    const Pixmap first = display_.rootPixmapProperty("_XROOTPMAP_ID");
    ASSERT_TRUE(PixmapExists(first));

    WriteQuadrantPicture(picture, kSecondColours);
    backend_.apply({picture, "1", "0"});
    ExpectTiled(kSecondColours);
    const Pixmap second = display_.rootPixmapProperty("_XROOTPMAP_ID");
    EXPECT_NE(second, first);
    EXPECT_FALSE(PixmapExists(first)) << "the previous wallpaper pixmap is still held by the server";
    EXPECT_TRUE(PixmapExists(second));
}

TEST_F(XRootWallpaperTest, RepeatedAppliesKeepTheServerFromGrowing)
{
    const std::string picture = folder_.file("many.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "1", "0"});
    const xtest::XServerUsage before = xtest::MeasureXServerUsage(display_.get());

    std::vector<Pixmap> earlier;
    constexpr int kApplies = 40;
    for (int i = 0; i < kApplies; ++i) {
        earlier.push_back(display_.rootPixmapProperty("_XROOTPMAP_ID"));
        backend_.apply({picture, i % 2 ? "1" : "0", i % 2 ? "0" : "2"});
    }
    // The server hands a killed client's ids to the next client, so an earlier id may name the
    // pixmap shown now; every other one must be gone.
    const Pixmap shown = display_.rootPixmapProperty("_XROOTPMAP_ID");
    ASSERT_TRUE(PixmapExists(shown));
    for (Pixmap pixmap : earlier) {
        if (pixmap != shown) {
            EXPECT_FALSE(PixmapExists(pixmap)) << "pixmap " << pixmap << " was left behind";
        }
    }
    const xtest::XServerUsage after = xtest::MeasureXServerUsage(display_.get());
    RecordProperty("XResAvailable", after.known ? "yes" : "no");
    if (before.known && after.known) {
        EXPECT_EQ(after.clients, before.clients);
        EXPECT_EQ(after.pixmapBytes, before.pixmapBytes);
        EXPECT_GT(after.pixmapBytes, 0u);
    }
}

TEST_F(XRootWallpaperTest, StretchedModeCoversTheScreenWithThePicture)
{
    // Left half red, right half blue: stretched, the screen's left edge is red, its right blue.
    Bitmap halves(4, 2);
    FillRectangle(halves, 0, 0, 2, 2, 0x0000FF);
    FillRectangle(halves, 2, 0, 4, 2, 0xFF0000);
    const std::string picture = folder_.file("halves.bmp");
    WriteBmpFile(halves, picture);
    backend_.apply({picture, "0", "2"});

    const int width = display_.width();
    const int height = display_.height();
    const std::vector<std::uint32_t> pixels = display_.readRgb(display_.root(), width, height);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * height);
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; };
    for (int y : {0, height / 2, height - 1}) {
        EXPECT_EQ(at(0, y), 0xFF0000u);
        EXPECT_EQ(at(width / 4, y), 0xFF0000u);
        EXPECT_EQ(at(width * 3 / 4, y), 0x0000FFu);
        EXPECT_EQ(at(width - 1, y), 0x0000FFu);
    }
}

TEST_F(XRootWallpaperTest, EmptyPathLeavesABlackRootWithoutPixmap)
{
    const std::string picture = folder_.file("before.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "1", "0"});
    const Pixmap shown = display_.rootPixmapProperty("_XROOTPMAP_ID");

    backend_.apply({"", "1", "0"});
    EXPECT_EQ(display_.rootPixmapProperty("_XROOTPMAP_ID"), 0u);
    EXPECT_EQ(display_.rootPixmapProperty("ESETROOT_PMAP_ID"), 0u);
    EXPECT_FALSE(PixmapExists(shown));
    const std::vector<std::uint32_t> pixels = display_.readRgb(display_.root(), display_.width(), display_.height());
    ASSERT_FALSE(pixels.empty());
    for (std::uint32_t pixel : pixels) {
        ASSERT_EQ(pixel, 0u);
    }
}

TEST_F(XRootWallpaperTest, ReadGivesBackWhatWasAppliedAndKeepsItInGb18030)
{
    const std::string picture = folder_.file("墙纸.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "0", "10"});

    const WallpaperSettings read = XRootWallpaper().read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "10");

    const std::string record = RootWallpaperRecordPath();
    EXPECT_EQ(record, folder_.path() + "config/kestova/desktop.ini");
    std::ifstream in(record, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(Utf8ToGbk("墙纸.bmp")), std::string::npos);
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
}

TEST_F(XRootWallpaperTest, NothingAppliedOnABareRootReadsEmpty)
{
    backend_.apply({"", "1", "0"});
    std::filesystem::remove(RootWallpaperRecordPath());

    const WallpaperSettings read = backend_.read();
    EXPECT_EQ(read.path, "");
    EXPECT_EQ(read.tile, "");
    EXPECT_EQ(read.style, "");
}

TEST_F(XRootWallpaperTest, AnotherProgramsRootBackgroundIsKeptAsAPictureThatAppliesBack)
{
    // Another program's background: applied under another user's record, which we then lose.
    const std::string picture = folder_.file("theirs.bmp");
    WriteQuadrantPicture(picture, kSecondColours);
    {
        const xtest::ScopedEnv elsewhere("XDG_CONFIG_HOME", folder_.path() + "elsewhere");
        backend_.apply({picture, "1", "0"});
    }
    std::filesystem::remove(picture);

    const WallpaperSettings kept = backend_.read();
    EXPECT_EQ(kept.path, RootBackgroundCopyPath());
    EXPECT_EQ(kept.tile, "1");
    EXPECT_EQ(kept.style, "0");
    const Bitmap copy = ReadBmpFile(kept.path);
    EXPECT_EQ(copy.width(), display_.width());
    EXPECT_EQ(copy.height(), display_.height());

    // The player's pictures come and go; applying the kept copy brings the background back.
    const std::string ours = folder_.file("ours.bmp");
    WriteQuadrantPicture(ours, kFirstColours);
    backend_.apply({ours, "1", "0"});
    ExpectTiled(kFirstColours);
    backend_.apply(kept);
    ExpectTiled(kSecondColours);
}

TEST_F(XRootWallpaperTest, UnreadablePictureThrowsAndChangesNothing)
{
    const std::string picture = folder_.file("good.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    backend_.apply({picture, "1", "0"});
    const Pixmap shown = display_.rootPixmapProperty("_XROOTPMAP_ID");

    const std::string broken = folder_.file("broken.bmp");
    test::WriteBytes(broken, "BM not really a bitmap");
    EXPECT_THROW(backend_.apply({broken, "1", "0"}), PictureError);
    EXPECT_THROW(backend_.apply({folder_.file("missing.jpg"), "1", "0"}), PictureError);
    EXPECT_EQ(display_.rootPixmapProperty("_XROOTPMAP_ID"), shown);
    EXPECT_EQ(backend_.read().path, picture);
    ExpectTiled(kFirstColours);
}

TEST_F(XRootWallpaperTest, WithoutADisplayItThrowsAndTheFacadeSwallowsIt)
{
    const std::string picture = folder_.file("nodisplay.bmp");
    WriteQuadrantPicture(picture, kFirstColours);
    {
        const xtest::ScopedEnv noDisplay("DISPLAY", std::nullopt);
        EXPECT_THROW(backend_.apply({picture, "1", "0"}), std::runtime_error);
        SetWallpaperBackend(std::make_unique<XRootWallpaper>());
        EXPECT_NO_THROW(ApplyWallpaper(picture, "1", "0"));
        SetWallpaperBackend(nullptr);
        EXPECT_EQ(backend_.read().path, "");
    }
}

TEST_F(XRootWallpaperTest, FacadeAppliesThroughTheXRootWithDefaultedValues)
{
    const std::string picture = folder_.file("facade.bmp");
    WriteQuadrantPicture(picture, kSecondColours);
    SetWallpaperBackend(std::make_unique<XRootWallpaper>());
    ApplyWallpaper(picture, "2", "");
    std::string path;
    std::string tile;
    std::string style;
    ReadWallpaperSettings(path, tile, style);
    SetWallpaperBackend(nullptr);
    EXPECT_EQ(path, picture);
    EXPECT_EQ(tile, "1");
    EXPECT_EQ(style, "0");
    ExpectTiled(kSecondColours);
}

} // namespace
} // namespace palvina
