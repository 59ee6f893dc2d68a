#include "platform/DesktopIconSwitch.h"
#include "platform/GSettingsWallpaper.h"
#include "platform/WallpaperBackends.h"

#include "GSettingsTestSupport.h"
#include "ProcessSupport.h"
#include "TestPictures.h"
#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace palvina {
namespace {

using test::KeyFileValue;
using test::TempFolder;

struct GSettingsDesktop {
    const char* name;
    std::function<std::unique_ptr<WallpaperBackend>()> make;
    const char* group;       // the schema's path as the key file names it
    const char* pictureKey;
    bool uri;
};

const GSettingsDesktop kGnome{"gnome", MakeGnomeWallpaper, "org/gnome/desktop/background", "picture-uri", true};
const GSettingsDesktop kCinnamon{"cinnamon", MakeCinnamonWallpaper, "org/cinnamon/desktop/background", "picture-uri",
                                 true};
const GSettingsDesktop kMate{"mate", MakeMateWallpaper, "org/mate/desktop/background", "picture-filename", false};

std::string DesktopName(const ::testing::TestParamInfo<GSettingsDesktop>& info)
{
    return info.param.name;
}

// What the key file holds for a picture: a quoted file URI or a quoted path.
std::string StoredPicture(const GSettingsDesktop& desktop)
{
    return KeyFileValue(desktop.group, desktop.pictureKey);
}

// Each test works on pictures in a folder of its own, so a path is never the one set before.
class GSettingsBackend : public ::testing::TestWithParam<GSettingsDesktop> {
protected:
    TempFolder folder_;
};

struct ModeCase {
    const char* tile;
    const char* style;
    const char* option;     // picture-options written
    const char* readTile;   // values read back
    const char* readStyle;
};

class GSettingsModes : public ::testing::TestWithParam<std::tuple<GSettingsDesktop, ModeCase>> {
protected:
    TempFolder folder_;
};

TEST_P(GSettingsModes, WritesTheOptionAndReadsTheValuesBack)
{
    const auto& [desktop, mode] = GetParam();
    const std::string picture = folder_.file("Palvina.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    auto backend = desktop.make();
    backend->apply({picture, mode.tile, mode.style});

    EXPECT_EQ(KeyFileValue(desktop.group, "picture-options"), std::string("'") + mode.option + "'");
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, picture);
    EXPECT_EQ(read.tile, mode.readTile);
    EXPECT_EQ(read.style, mode.readStyle);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, GSettingsModes,
    ::testing::Combine(::testing::Values(kGnome, kCinnamon, kMate),
                       ::testing::Values(ModeCase{"1", "0", "wallpaper", "1", "0"},
                                         ModeCase{"1", "2", "wallpaper", "1", "0"},
                                         ModeCase{"0", "0", "centered", "0", "0"},
                                         ModeCase{"0", "2", "stretched", "0", "2"},
                                         ModeCase{"0", "6", "scaled", "0", "6"},
                                         ModeCase{"0", "10", "zoom", "0", "10"},
                                         ModeCase{"0", "22", "spanned", "0", "22"},
                                         ModeCase{"0", "7", "centered", "0", "0"})));

TEST_P(GSettingsBackend, StoresPathsWithBlanksAndChineseAsTheDesktopExpects)
{
    const GSettingsDesktop& desktop = GetParam();
    std::filesystem::create_directory(folder_.file("壁纸 目录"));
    const std::string picture = folder_.file("壁纸 目录/图 1.bmp");
    test::WriteSolidBmp(picture, 0x00ff00);
    auto backend = desktop.make();
    backend->apply({picture, "1", "0"});

    const std::string expected = desktop.uri
        ? "'file://" + folder_.path() + "%E5%A3%81%E7%BA%B8%20%E7%9B%AE%E5%BD%95/%E5%9B%BE%201.bmp'"
        : "'" + picture + "'";
    EXPECT_EQ(StoredPicture(desktop), expected);
    EXPECT_EQ(backend->read().path, picture);
}

TEST_P(GSettingsBackend, ShowsTheSamePathAgainThroughItsAlternateName)
{
    const GSettingsDesktop& desktop = GetParam();
    const std::string picture = folder_.file("Palvina.bmp");
    const std::string alternate = folder_.file(".Palvina.alt.bmp");
    auto backend = desktop.make();

    test::WriteSolidBmp(picture, 0x0000ff);
    backend->apply({picture, "1", "0"});
    const std::string first = StoredPicture(desktop);

    // The composer writes a new file over the old one; the desktop must see a changed value.
    test::WriteSolidBmp(picture, 0xff0000);
    backend->apply({picture, "1", "0"});
    const std::string second = StoredPicture(desktop);
    EXPECT_NE(second, first);
    EXPECT_NE(second.find(".Palvina.alt.bmp"), std::string::npos) << second;
    EXPECT_EQ(test::FileBytes(alternate), test::FileBytes(picture));
    EXPECT_EQ(backend->read().path, picture);

    // And once more: back to the picture's own name, which holds the newest content.
    test::WriteSolidBmp(picture, 0x00ff00);
    backend->apply({picture, "1", "0"});
    EXPECT_EQ(StoredPicture(desktop), first);
    EXPECT_EQ(backend->read().path, picture);

    // The next time the alternate is made afresh from the newest content.
    test::WriteSolidBmp(picture, 0x123456);
    backend->apply({picture, "1", "0"});
    EXPECT_EQ(StoredPicture(desktop), second);
    EXPECT_EQ(test::FileBytes(alternate), test::FileBytes(picture));
}

TEST_P(GSettingsBackend, AnEmptyPathShowsNoPicture)
{
    const GSettingsDesktop& desktop = GetParam();
    auto backend = desktop.make();
    backend->apply({"", "1", "0"});
    EXPECT_EQ(StoredPicture(desktop), "''");
    // MATE has no "none" option; its empty picture name is enough.
    if (std::string(desktop.name) != "mate") {
        EXPECT_EQ(KeyFileValue(desktop.group, "picture-options"), "'none'");
    }
    const WallpaperSettings read = backend->read();
    EXPECT_EQ(read.path, "");
    EXPECT_EQ(read.tile, "0");
    EXPECT_EQ(read.style, "0");
}

INSTANTIATE_TEST_SUITE_P(Desktops, GSettingsBackend, ::testing::Values(kGnome, kCinnamon, kMate), DesktopName);

TEST(GnomeWallpaper, SetsTheDarkStylePictureToo)
{
    TempFolder folder;
    const std::string picture = folder.file("Palvina.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    auto backend = MakeGnomeWallpaper();
    for (int round = 0; round < 2; ++round) {  // the second round shows the alternate name
        backend->apply({picture, "0", "2"});
        const std::string light = KeyFileValue("org/gnome/desktop/background", "picture-uri");
        EXPECT_EQ(KeyFileValue("org/gnome/desktop/background", "picture-uri-dark"), light);
        EXPECT_EQ(light.rfind("'file://" + folder.path(), 0), 0U) << light;
    }
}

TEST(GSettingsWallpaperErrors, AMissingSchemaOrKeyThrowsAndWritesNothing)
{
    TempFolder folder;
    const std::string picture = folder.file("Palvina.bmp");
    test::WriteSolidBmp(picture, 0x0000ff);
    MakeGnomeWallpaper()->apply({picture, "0", "6"});
    const std::string before = KeyFileValue("org/gnome/desktop/background", "picture-uri");

    GSettingsWallpaper noSchema({"absent", "org.palvina.absent", "picture-uri", nullptr, "picture-options", true});
    EXPECT_THROW(noSchema.apply({folder.file("other.bmp"), "1", "0"}), std::runtime_error);
    EXPECT_THROW(noSchema.read(), std::runtime_error);

    GSettingsWallpaper noKey({"no-key", "org.gnome.desktop.background", "picture-url", nullptr, "picture-options", true});
    EXPECT_THROW(noKey.apply({folder.file("other.bmp"), "1", "0"}), std::runtime_error);
    EXPECT_THROW(noKey.read(), std::runtime_error);

    EXPECT_EQ(KeyFileValue("org/gnome/desktop/background", "picture-uri"), before);
    EXPECT_EQ(KeyFileValue("org/gnome/desktop/background", "picture-options"), "'scaled'");
}

TEST(GSettingsWallpaperErrors, ARelativePathCannotBeAUri)
{
    EXPECT_THROW(MakeGnomeWallpaper()->apply({"Images/Palvina.bmp", "1", "0"}), std::runtime_error);
}

// A system without the desktops' schemas: every backend and switch fails softly and nothing
// ends the process. GIO reads its schema folders once per process, so the checks run in a new
// test process started with folders that hold no desktop schema.
TEST(GSettingsWithoutSchemas, NothingEndsTheProcess)
{
    if (test::RunningWithoutDesktopSchemas()) {
        for (auto make : {MakeGnomeWallpaper, MakeCinnamonWallpaper, MakeMateWallpaper}) {
            auto backend = make();
            EXPECT_THROW(backend->apply({"/tmp/a.bmp", "1", "0"}), std::runtime_error) << backend->name();
            EXPECT_THROW(backend->read(), std::runtime_error) << backend->name();
        }
        for (DesktopKind kind : {DesktopKind::Mate, DesktopKind::Cinnamon}) {
            EXPECT_FALSE(SetIconsThroughDesktopSwitch(kind, false));
            EXPECT_FALSE(SetIconsThroughDesktopSwitch(kind, true));
        }
        return;
    }
    TempFolder folder;
    const std::string schemas = test::CompileUnrelatedSchemaFolder(folder.file("schemas"));
    if (schemas.empty()) {
        GTEST_SKIP() << "glib-compile-schemas is not installed";
    }
    std::filesystem::create_directory(folder.file("empty"));
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const test::ProgramResult result = test::RunProgramForOutput(
        {self, "--gtest_filter=GSettingsWithoutSchemas.NothingEndsTheProcess"},
        {{test::kWithoutSchemasVariable, "1"},
         {"GSETTINGS_SCHEMA_DIR", schemas},
         {"XDG_DATA_DIRS", folder.file("empty")},
         {"XDG_DATA_HOME", folder.file("empty")}});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("[  PASSED  ] 1 test."), std::string::npos) << result.output;
}

} // namespace
} // namespace palvina
