// Qt before Xlib: Xlib's macros (Bool, Status, None) break Qt's headers.
#include "PlasmaStandIn.h"

#include <QtCore/QJsonArray>
#include <QtCore/QUrl>

#include "platform/KdeWallpaper.h"
#include "platform/PlasmaScript.h"
#include "platform/WallpaperBackends.h"

#include "ProcessSupport.h"
#include "TestPictures.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace palvina {
namespace {

using test::TempFolder;

// --- the script text ---

struct LiteralCase {
    const char* text;
    const char* literal;
};

class JavaScriptLiteral : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(JavaScriptLiteral, EscapesWhatWouldEndOrBreakTheString)
{
    EXPECT_EQ(JavaScriptStringLiteral(GetParam().text), GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(Texts, JavaScriptLiteral,
                         ::testing::Values(LiteralCase{"/home/u/a.bmp", "\"/home/u/a.bmp\""},
                                           LiteralCase{"say \"hi\"", "\"say \\\"hi\\\"\""},
                                           LiteralCase{"C:\\x", "\"C:\\\\x\""},
                                           LiteralCase{"a\nb\rc", "\"a\\nb\\rc\""},
                                           LiteralCase{"\x01\x7f", "\"\\u0001\\u007f\""},
                                           LiteralCase{"\xe2\x80\xa8\xe2\x80\xa9", "\"\\u2028\\u2029\""},
                                           LiteralCase{"壁纸 it's", "\"壁纸 it's\""}));

// What a JavaScript engine makes of the literal must be the text itself, byte for byte.
class JavaScriptLiteralInNode : public ::testing::TestWithParam<std::string> {};

TEST_P(JavaScriptLiteralInNode, EvaluatesToTheText)
{
    if (!test::ProgramAvailable("node")) {
        GTEST_SKIP() << "node is not installed";
    }
    const test::ProgramResult result =
        test::RunProgramForOutput({"node", "-e", "process.stdout.write(" + JavaScriptStringLiteral(GetParam()) + ")"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, JavaScriptLiteralInNode,
                         ::testing::Values(std::string("/home/u/壁纸 目录/图 1.bmp"), std::string("\"\"'`${x}`"),
                                           std::string("back\\slash\\u0041\\"), std::string("line\nbreak\r\n\ttab"),
                                           std::string("\x01\x02\x1b\x1f\x7f"), std::string("\xe2\x80\xa8 \xe2\x80\xa9"),
                                           std::string("</script><!--"), std::string("\");alert(1);//")));

struct ReplyCase {
    const char* reply;
    const char* plugin;
    const char* image;
    int fillMode;
};

class PlasmaReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(PlasmaReply, GivesTheWallpaperValues)
{
    const PlasmaWallpaper parsed = ParsePlasmaReadReply(GetParam().reply);
    EXPECT_EQ(parsed.plugin, GetParam().plugin);
    EXPECT_EQ(parsed.imageUrl, GetParam().image);
    EXPECT_EQ(parsed.fillMode, GetParam().fillMode);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PlasmaReply,
    ::testing::Values(
        ReplyCase{"{\"desktops\":1,\"plugin\":\"org.kde.image\",\"image\":\"file:///a b.png\",\"fillMode\":3}\n",
                  "org.kde.image", "file:///a b.png", 3},
        ReplyCase{"warning: something\n{\"desktops\":2,\"plugin\":\"org.kde.image\",\"image\":\"\",\"fillMode\":6}",
                  "org.kde.image", "", 6},
        ReplyCase{"{\"desktops\":1,\"plugin\":\"org.kde.color\",\"image\":\"\",\"fillMode\":null}\n", "org.kde.color",
                  "", 2},
        ReplyCase{"{\"desktops\":1,\"plugin\":\"org.kde.image\"}\n", "org.kde.image", "", 2}));

TEST(PlasmaReply, WithoutADesktopOrValuesThereIsNoAnswer)
{
    EXPECT_THROW(ParsePlasmaReadReply("{\"desktops\":0}\n"), std::runtime_error);
    EXPECT_THROW(ParsePlasmaReadReply(""), std::runtime_error);
    EXPECT_THROW(ParsePlasmaReadReply("{not json\n"), std::runtime_error);
}

// --- the backend against the stand-in on the session bus ---

class KdeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::PlasmaStandIn::CanRunScripts()) {
            GTEST_SKIP() << "node is not installed to run the desktop scripts";
        }
        plasma_ = std::make_unique<test::PlasmaStandIn>(folder_.path());
        ASSERT_TRUE(plasma_->registered()) << "the name org.kde.plasmashell is taken";
    }

    // A value the pretend desktop `index` holds in the image wallpaper's settings.
    QJsonValue imageSetting(int index, const char* key) const
    {
        return plasma_->desktops()[QStringLiteral("desktops")].toArray()[index].toObject()[QStringLiteral("config")]
            .toObject()[QStringLiteral("Wallpaper/org.kde.image/General/") + QLatin1String(key)];
    }
    QString plugin(int index) const
    {
        return plasma_->desktops()[QStringLiteral("desktops")].toArray()[index].toObject()[QStringLiteral("plugin")]
            .toString();
    }
    std::string shownPath(int index) const
    {
        return QUrl(imageSetting(index, "Image").toString()).toLocalFile().toStdString();
    }

    TempFolder folder_;
    std::unique_ptr<test::PlasmaStandIn> plasma_;
};

TEST_F(KdeDesktop, SetsThePictureOnEveryDesktopAndReadsItBack)
{
    plasma_->setDesktops(R"({"desktops": [{"plugin": "org.kde.color", "config": {}},
                                          {"plugin": "org.kde.image", "config": {}}]})");
    std::filesystem::create_directory(folder_.file("壁纸 \"引号\" it's"));
    const std::string picture = folder_.file("壁纸 \"引号\" it's/back\\slash 1.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    auto backend = MakeKdeWallpaper();
    backend->apply({picture, "1", "0"});

    for (int desktop = 0; desktop < 2; ++desktop) {
        EXPECT_EQ(plugin(desktop), QStringLiteral("org.kde.image")) << desktop;
        EXPECT_EQ(shownPath(desktop), picture) << desktop;
        EXPECT_TRUE(imageSetting(desktop, "Image").toString().startsWith(QStringLiteral("file:///")));
        EXPECT_EQ(imageSetting(desktop, "FillMode").toInt(), 3) << desktop;
    }
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, "1");
    EXPECT_EQ(read.style, "0");
}

TEST_F(KdeDesktop, ShowsTheSamePathAgainThroughItsAlternateName)
{
    const std::string picture = folder_.file("Palvina.bmp");
    auto backend = MakeKdeWallpaper();
    test::WriteSolidBmp(picture, 0x0000ff);
    backend->apply({picture, "1", "0"});
    EXPECT_EQ(shownPath(0), picture);

    test::WriteSolidBmp(picture, 0xff0000);
    backend->apply({picture, "1", "0"});
    EXPECT_EQ(shownPath(0), folder_.file(".Palvina.alt.bmp"));
    EXPECT_EQ(test::FileBytes(shownPath(0)), test::FileBytes(picture));
    EXPECT_EQ(backend->read().path, picture);

    backend->apply({picture, "1", "0"});
    EXPECT_EQ(shownPath(0), picture);
}

TEST_F(KdeDesktop, AnotherKindOfWallpaperReadsAsNoPicture)
{
    plasma_->setDesktops(R"({"desktops": [{"plugin": "org.kde.color", "config": {}}]})");
    const WallpaperSettings read = MakeKdeWallpaper()->read();
    EXPECT_EQ(read.path, "");
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "0");
}

TEST_F(KdeDesktop, ARefusedScriptIsAnError)
{
    plasma_->failWith("Widget scripting is locked");
    EXPECT_THROW(MakeKdeWallpaper()->apply({folder_.file("a.bmp"), "1", "0"}), std::runtime_error);
    EXPECT_THROW(MakeKdeWallpaper()->read(), std::runtime_error);
    EXPECT_FALSE(plasma_->scripts().empty());
}

struct KdeModeCase {
    const char* tile;
    const char* style;
    int fillMode;
    const char* readTile;
    const char* readStyle;
};

class KdeModes : public KdeDesktop, public ::testing::WithParamInterface<KdeModeCase> {};

TEST_P(KdeModes, MapsTheValuesBothWays)
{
    const KdeModeCase& mode = GetParam();
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    auto backend = MakeKdeWallpaper();
    backend->apply({picture, mode.tile, mode.style});
    EXPECT_EQ(imageSetting(0, "FillMode").toInt(), mode.fillMode);
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, mode.readTile);
    EXPECT_EQ(read.style, mode.readStyle);
}

INSTANTIATE_TEST_SUITE_P(Values, KdeModes,
                         ::testing::Values(KdeModeCase{"1", "0", 3, "1", "0"}, KdeModeCase{"0", "0", 6, "0", "0"},
                                           KdeModeCase{"0", "2", 0, "0", "2"}, KdeModeCase{"0", "6", 1, "0", "6"},
                                           KdeModeCase{"0", "10", 2, "0", "10"}, KdeModeCase{"0", "22", 2, "0", "10"}));

TEST(KdeWallpaper, WithoutPlasmashellOnTheBusApplyAndReadFail)
{
    EXPECT_THROW(MakeKdeWallpaper()->apply({"/tmp/a.bmp", "1", "0"}), std::runtime_error);
    EXPECT_THROW(MakeKdeWallpaper()->read(), std::runtime_error);
}

} // namespace
} // namespace palvina
