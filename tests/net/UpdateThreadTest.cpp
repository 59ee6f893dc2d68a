#include "ProgramFolderFixture.h"
#include "RecordingPlayerLink.h"
#include "files/AppSettings.h"
#include "files/IniFile.h"
#include "net/TMyDownConfigThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace palvina::test {
namespace {

using Texts = std::vector<std::string>;

constexpr const char* kToday = "20240102";
constexpr const char* kDescriptorPath = "/PalvinaDown/update.dll";
constexpr const char* kCataloguePath = "/PalvinaDown/Images/Class/config.dll";

std::string GbkLines(const Texts& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return Utf8ToGbk(text);
}

bool Contains(const Texts& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class UpdateThreadTest : public ProgramFolderFixture {
protected:
    std::string cataloguePath() const { return appPath("Images/Class/config.dll"); }

    Texts run()
    {
        auto link = std::make_shared<RecordingPlayerLink>();
        TMyDownConfigThread job(link, cataloguePath(), [] { return std::string(kToday); });
        job.Execute();
        return link->events();
    }

    Texts updateStarted() const
    {
        return {"notice 3 Kestova桌面  程序发现新版本，等待升级……", "open " + appPath("Update/Update.exe")};
    }
};

// The update check alone: the catalogue was already refreshed today.
struct UpdateCase {
    const char* name;
    std::optional<Texts> descriptor;  // nullopt: the server has none
    std::optional<std::string> runningVersion;
    Texts servedItems;
    bool started;
    Texts requests;  // on the product web site
};

void PrintTo(const UpdateCase& c, std::ostream* os) { *os << c.name; }

class UpdateCheckTest : public UpdateThreadTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(UpdateCheckTest, StartsTheUpdateOnlyWhenEveryFileOfANewVersionArrived)
{
    const UpdateCase& c = GetParam();
    if (c.descriptor) {
        site_.serve(kDescriptorPath, GbkLines(*c.descriptor));
    }
    for (const std::string& item : c.servedItems) {
        site_.serve("/PalvinaDown/" + item, "file " + item);
    }
    if (c.runningVersion) {
        WriteAppSetting("Update", "Ver", *c.runningVersion);
    }
    WriteAppSetting("App", "Date", kToday);

    const Texts events = run();

    EXPECT_EQ(events, c.started ? updateStarted() : Texts{});
    EXPECT_EQ(site_.requests(), c.requests);
    for (const std::string& item : c.servedItems) {
        if (Contains(c.requests, "/PalvinaDown/" + item)) {
            EXPECT_EQ(ReadBytes(appPath("Update/" + item)), "file " + item) << item;
        }
    }
    EXPECT_EQ(Exists(appPath("Update/Update.log")), c.descriptor.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, UpdateCheckTest,
    ::testing::Values(
        UpdateCase{"SameVersion", Texts{"[Update]", "Ver=1.0.0.56", "Count=1", "Item0=new.bin"}, "1.0.0.56",
                   {"new.bin"}, false, {kDescriptorPath}},
        UpdateCase{"NewVersion", Texts{"[Update]", "Ver=1.0.0.57", "Count=2", "Item0=Update.exe", "Item1=数据.pak"},
                   "1.0.0.56", {"Update.exe", "数据.pak"}, true,
                   {kDescriptorPath, "/PalvinaDown/Update.exe", "/PalvinaDown/数据.pak"}},
        UpdateCase{"OlderVersion", Texts{"[Update]", "Ver=1.0.0.50", "Count=1", "Item0=a.bin"}, "1.0.0.56",
                   {"a.bin"}, true, {kDescriptorPath, "/PalvinaDown/a.bin"}},
        UpdateCase{"VersionDiffersInLetterCase", Texts{"[Update]", "Ver=V2", "Count=0"}, "v2", {}, true, {kDescriptorPath}},
        UpdateCase{"CountZero", Texts{"[Update]", "Ver=2.0", "Count=0"}, "1.0.0.56", {}, true, {kDescriptorPath}},
        UpdateCase{"DescriptorWithoutVersion", Texts{"[Update]", "Count=0"}, "1.0.0.56", {}, true, {kDescriptorPath}},
        UpdateCase{"NeitherHasAVersion", Texts{"[Update]", "Count=0"}, std::nullopt, {}, false, {kDescriptorPath}},
        UpdateCase{"OneFileMissing", Texts{"[Update]", "Ver=2.0", "Count=2", "Item0=a.bin", "Item1=b.bin"},
                   "1.0.0.56", {"a.bin"}, false, {kDescriptorPath, "/PalvinaDown/a.bin", "/PalvinaDown/b.bin"}},
        UpdateCase{"EmptyCount", Texts{"[Update]", "Ver=2.0", "Count="}, "1.0.0.56", {}, false, {kDescriptorPath}},
        UpdateCase{"NegativeCount", Texts{"[Update]", "Ver=2.0", "Count=-1"}, "1.0.0.56", {}, false, {kDescriptorPath}},
        UpdateCase{"NoDescriptor", std::nullopt, "1.0.0.56", {}, false, {kDescriptorPath}},
        UpdateCase{"UnsafeNamesAreNotFetchedAndNotArrived",
                   Texts{"[Update]", "Ver=2.0", "Count=6", "Item0=../x.exe", "Item1=a/b.bin", "Item2=/etc/passwd",
                         "Item3=..", "Item4=", "Item5=ok.bin"},
                   "1.0.0.56", {"ok.bin"}, false, {kDescriptorPath, "/PalvinaDown/ok.bin"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateThreadTest, ACountThatIsNotANumberEndsTheWholeJob)
{
    site_.serve(kDescriptorPath, GbkLines({"[Update]", "Ver=2.0", "Count=x", "Item0=a.bin"}));
    site_.serve(kCataloguePath, GbkLines({"[Illustrated]", "Count=0"}));
    WriteAppSetting("App", "Date", "20200101");

    EXPECT_TRUE(run().empty());
    EXPECT_EQ(site_.requests(), (Texts{kDescriptorPath}));
    EXPECT_EQ(ReadAppSetting("App", "Date"), "20200101");
}

TEST_F(UpdateThreadTest, NoCatalogueRequestOnTheDayOfTheLastRefresh)
{
    site_.serve(kCataloguePath, GbkLines({"[Illustrated]", "Count=0"}));
    WriteAppSetting("App", "Date", kToday);

    run();

    EXPECT_FALSE(Contains(site_.requests(), kCataloguePath));
    EXPECT_FALSE(Contains(mirror_.requests(), kCataloguePath));
    EXPECT_FALSE(Exists(cataloguePath()));
}

TEST_F(UpdateThreadTest, AFailedCatalogueDownloadLeavesTheDateAsItWas)
{
    WriteAppSetting("App", "Date", "20200101");

    run();

    EXPECT_TRUE(Contains(site_.requests(), kCataloguePath));
    EXPECT_TRUE(Contains(mirror_.requests(), kCataloguePath));
    EXPECT_EQ(ReadAppSetting("App", "Date"), "20200101");
    EXPECT_FALSE(Exists(cataloguePath()));
}

TEST_F(UpdateThreadTest, FetchesTheCatalogueAndOnlyTheMissingThumbnails)
{
    // No descriptor on the server: the refresh still runs after the update check.
    site_.serve(kCataloguePath,
                GbkLines({"[Illustrated]", "Count=2", "Item0_Img=a.jpg", "Item0_Name=风景", "Item1_Img=风景.jpg",
                          "[Wallpaper]", "Count=3", "Item0_Img=", "Item1_Img=w.jpg", "Item2_Img=a.jpg"}));
    site_.serve("/PalvinaDown/Images/Class/a.jpg", "new a");
    site_.serve("/PalvinaDown/Images/Class/风景.jpg", "thumb 1");
    site_.serve("/PalvinaDown/Images/Class/w.jpg", "thumb w");
    WriteBytes(appPath("Images/Class/a.jpg"), "old a");

    EXPECT_TRUE(run().empty());

    EXPECT_EQ(site_.requests(), (Texts{kDescriptorPath, kCataloguePath, "/PalvinaDown/Images/Class/风景.jpg",
                                       "/PalvinaDown/Images/Class/w.jpg"}));
    EXPECT_EQ(ReadBytes(appPath("Images/Class/a.jpg")), "old a");
    EXPECT_EQ(ReadBytes(appPath("Images/Class/风景.jpg")), "thumb 1");
    EXPECT_EQ(ReadBytes(appPath("Images/Class/w.jpg")), "thumb w");
    EXPECT_EQ(ReadIniValue("Illustrated", "Item0_Name", cataloguePath()), "风景");
    EXPECT_EQ(ReadAppSetting("App", "Date"), kToday);
}

TEST_F(UpdateThreadTest, DateIsWrittenAlsoWhenAThumbnailFails)
{
    site_.serve(kCataloguePath, GbkLines({"[Wallpaper]", "Count=1", "Item0_Img=gone.jpg"}));

    run();

    EXPECT_TRUE(Contains(mirror_.requests(), "/PalvinaDown/Images/Class/gone.jpg"));
    EXPECT_EQ(ReadAppSetting("App", "Date"), kToday);
}

TEST_F(UpdateThreadTest, ACatalogueCountThatIsNotANumberEndsTheRefresh)
{
    site_.serve(kCataloguePath, GbkLines({"[Illustrated]", "Count=two", "[Wallpaper]", "Count=1", "Item0_Img=w.jpg"}));
    site_.serve("/PalvinaDown/Images/Class/w.jpg", "thumb w");
    WriteAppSetting("App", "Date", "20200101");

    run();

    EXPECT_EQ(site_.requests(), (Texts{kDescriptorPath, kCataloguePath}));
    EXPECT_EQ(ReadAppSetting("App", "Date"), "20200101");
}

TEST_F(UpdateThreadTest, ThumbnailNamesThatLeaveTheFolderAreNeverFetched)
{
    site_.serve(kCataloguePath, GbkLines({"[Illustrated]", "Count=5", "Item0_Img=../x.jpg", "Item1_Img=a/b.jpg",
                                          "Item2_Img=/etc/passwd", "Item3_Img=..", "Item4_Img=ok.jpg"}));
    site_.serve("/PalvinaDown/Images/x.jpg", "escaped");
    site_.serve("/PalvinaDown/Images/Class/ok.jpg", "thumb ok");

    run();

    EXPECT_EQ(site_.requests(), (Texts{kDescriptorPath, kCataloguePath, "/PalvinaDown/Images/Class/ok.jpg"}));
    EXPECT_FALSE(Exists(appPath("Images/x.jpg")));
    EXPECT_FALSE(Exists(appPath("Images/Class/a")));
    EXPECT_EQ(ReadBytes(appPath("Images/Class/ok.jpg")), "thumb ok");
    EXPECT_EQ(ReadAppSetting("App", "Date"), kToday);
}

TEST_F(UpdateThreadTest, StartRunsTheJobOnItsOwnThread)
{
    site_.serve(kDescriptorPath, GbkLines({"[Update]", "Ver=2.0", "Count=0"}));
    site_.serve(kCataloguePath, GbkLines({"[Illustrated]", "Count=0"}));
    WriteAppSetting("Update", "Ver", "1.0.0.56");
    auto link = std::make_shared<RecordingPlayerLink>();
    const std::shared_ptr<LinkRecord> record = link->record();

    TMyDownConfigThread::Start(std::move(link), cataloguePath(), [] { return std::string(kToday); });

    // The recorder is released when the thread has finished with it.
    ASSERT_TRUE(record->waitUntilReleased(std::chrono::seconds(20)));
    EXPECT_EQ(record->events(), updateStarted());
    EXPECT_EQ(ReadAppSetting("App", "Date"), kToday);
}

} // namespace
} // namespace palvina::test
