#include "ProgramFolderFixture.h"
#include "RecordingPlayerLink.h"
#include "net/TMyThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <ostream>
#include <string>
#include <vector>

namespace palvina::test {
namespace {

using Requests = std::vector<std::string>;

class ChannelThreadTest : public ProgramFolderFixture {
protected:
    // Serves a play list and a picture and companion file for each of `count` entries of a
    // network channel: F<e>_Img "p<e>.jpg", F<e>_Xml "p<e>.xml".
    void serveNetworkChannel(const std::string& classFolder, int number, int count)
    {
        const std::string server = "/PalvinaDown/Images/" + classFolder + "/" + std::to_string(number) + "/";
        std::string list = "[PlayList]\r\nCount=" + std::to_string(count) + "\r\n";
        for (int e = 0; e < count; ++e) {
            const std::string name = "p" + std::to_string(e);
            list += "F" + std::to_string(e) + "_Img=" + name + ".jpg\r\n";
            list += "F" + std::to_string(e) + "_Xml=" + name + ".xml\r\n";
            site_.serve(server + name + ".jpg", "picture " + name);
            site_.serve(server + name + ".xml", "xml " + name);
        }
        site_.serve(server + "config.dll", Utf8ToGbk(list));
    }

    std::vector<std::string> runChannel(int channelClass, int number, std::shared_ptr<RecordingPlayerLink> link,
                                        const std::string& shareUrl = "")
    {
        TMyThread thread(channelClass, number, link, shareUrl);
        thread.Execute();
        return link->events();
    }
};

struct NetworkClass {
    int channelClass;
    const char* folder;
};

void PrintTo(const NetworkClass& c, std::ostream* os) { *os << c.folder; }

class NetworkChannelTest : public ChannelThreadTest, public ::testing::WithParamInterface<NetworkClass> {};

TEST_P(NetworkChannelTest, FetchesEntriesFromTheLastDownAndReportsEach)
{
    const auto [channelClass, folder] = GetParam();
    serveNetworkChannel(folder, 4, 3);
    auto link = std::make_shared<RecordingPlayerLink>(channelClass, 4);

    const auto events = runChannel(channelClass, 4, link);

    const std::string key = std::to_string(channelClass * 100 + 4);
    EXPECT_EQ(events, (Requests{"report " + key + " 1/3", "report " + key + " 2/3", "report " + key + " 3/3"}));
    const std::string server = std::string("/PalvinaDown/Images/") + folder + "/4/";
    EXPECT_EQ(site_.requests(), (Requests{server + "config.dll", server + "p2.jpg", server + "p2.xml",
                                          server + "p1.jpg", server + "p1.xml", server + "p0.jpg",
                                          server + "p0.xml"}));
    EXPECT_TRUE(mirror_.requests().empty());
    const std::string local = appPath(std::string("Images/") + folder + "/4/");
    EXPECT_EQ(ReadBytes(local + "p0.jpg"), "picture p0");
    EXPECT_EQ(ReadBytes(local + "p2.xml"), "xml p2");
    EXPECT_TRUE(Exists(local + "config.dll"));
}

INSTANTIATE_TEST_SUITE_P(Classes, NetworkChannelTest,
                         ::testing::Values(NetworkClass{0, "Illustrated"}, NetworkClass{1, "Wallpaper"}));

TEST_F(ChannelThreadTest, SharedAlbumFetchesFromTheFirstUpThroughItsWebSite)
{
    site_.serve("/share/album.dll", IniBody({"[PlayList]", "Count=2", "WebSite=" + site_.base() + "pics/",
                                             "F0_Img=a.jpg", "F0_Xml=a.xml", "F1_Img=b.jpg", "AlbumTitle=山水"}));
    site_.serve("/pics/a.jpg", "picture a");
    site_.serve("/pics/b.jpg", "picture b");
    site_.serve("/a.xml", "xml a");
    auto link = std::make_shared<RecordingPlayerLink>(3, 7);

    const auto events = runChannel(3, 7, link, site_.base() + "share/album.dll");

    EXPECT_EQ(events, (Requests{"report 307 1/2", "report 307 2/2"}));
    EXPECT_EQ(site_.requests(), (Requests{"/share/album.dll", "/pics/a.jpg", "/a.xml", "/pics/b.jpg"}));
    EXPECT_TRUE(mirror_.requests().empty());
    EXPECT_EQ(ReadBytes(appPath("Images/Share/7/a.jpg")), "picture a");
    EXPECT_EQ(ReadBytes(appPath("Images/Share/7/b.jpg")), "picture b");
    EXPECT_EQ(ReadBytes(appPath("Images/Share/7/a.xml")), "xml a");
}

TEST_F(ChannelThreadTest, AFailedPictureIsStillCountedAndReported)
{
    serveNetworkChannel("Illustrated", 2, 2);
    site_.handle("/PalvinaDown/Images/Illustrated/2/p1.jpg",
                 [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    auto link = std::make_shared<RecordingPlayerLink>(0, 2);

    const auto events = runChannel(0, 2, link);

    EXPECT_EQ(events, (Requests{"report 2 1/2", "report 2 2/2"}));
    EXPECT_EQ(mirror_.requests(), (Requests{"/PalvinaDown/Images/Illustrated/2/p1.jpg"}));
    EXPECT_FALSE(Exists(appPath("Images/Illustrated/2/p1.jpg")));
    EXPECT_TRUE(Exists(appPath("Images/Illustrated/2/p1.xml")));
}

TEST_F(ChannelThreadTest, AnEarlierPlayListServesWhenTheFetchFails)
{
    std::filesystem::create_directory(appPath("Images/Wallpaper/5"));
    WriteBytes(appPath("Images/Wallpaper/5/config.dll"), IniBody({"[PlayList]", "Count=1", "F0_Img=old.jpg"}));
    site_.serve("/PalvinaDown/Images/Wallpaper/5/old.jpg", "picture old");
    auto link = std::make_shared<RecordingPlayerLink>(1, 5);

    const auto events = runChannel(1, 5, link);

    EXPECT_EQ(events, (Requests{"report 105 1/1"}));
    EXPECT_EQ(ReadBytes(appPath("Images/Wallpaper/5/old.jpg")), "picture old");
}

// The player's state changes while the first entry is reported: the thread ends after it.
struct StopCase {
    const char* name;
    void (*change)(RecordingPlayerLink&);
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class ChannelStopTest : public ChannelThreadTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ChannelStopTest, EndsAfterTheEntryInProgress)
{
    serveNetworkChannel("Illustrated", 4, 3);
    auto link = std::make_shared<RecordingPlayerLink>(0, 4);
    RecordingPlayerLink* raw = link.get();
    link->onReport = [raw, change = GetParam().change](const DownloadProgress&) { change(*raw); };

    const auto events = runChannel(0, 4, link);

    EXPECT_EQ(events, (Requests{"report 4 1/3"}));
    const std::string server = "/PalvinaDown/Images/Illustrated/4/";
    EXPECT_EQ(site_.requests(), (Requests{server + "config.dll", server + "p2.jpg", server + "p2.xml"}));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChannelStopTest,
    ::testing::Values(StopCase{"OtherItem", [](RecordingPlayerLink& l) { l.CurrentItem = 5; }},
                      StopCase{"OtherClass", [](RecordingPlayerLink& l) { l.CurrentClass = 1; }},
                      StopCase{"Closing", [](RecordingPlayerLink& l) { l.Closing = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChannelThreadTest, ClosingBeforeTheListIsReadEndsWithoutAReport)
{
    serveNetworkChannel("Illustrated", 4, 3);
    auto link = std::make_shared<RecordingPlayerLink>(0, 4);
    link->Closing = true;

    EXPECT_TRUE(runChannel(0, 4, link).empty());
    EXPECT_EQ(site_.requests(), (Requests{"/PalvinaDown/Images/Illustrated/4/config.dll"}));
}

TEST_F(ChannelThreadTest, AnErrorInAnEntrySkipsItsChecksAndGoesOn)
{
    serveNetworkChannel("Illustrated", 4, 3);
    auto link = std::make_shared<RecordingPlayerLink>(0, 4);
    RecordingPlayerLink* raw = link.get();
    // The first report fails after closing the player; the failure skips the closing check.
    link->onReport = [raw](const DownloadProgress& progress) {
        if (progress.Done == 1) {
            raw->Closing = true;
            throw std::runtime_error("report failed");
        }
    };

    const auto events = runChannel(0, 4, link);

    EXPECT_EQ(events, (Requests{"report 4 1/3", "report 4 2/3"}));
}

// Play lists that give nothing to fetch: no picture request and no report.
struct EmptyListCase {
    const char* name;
    std::optional<std::string> playList;  // nullopt: the server has none
};

void PrintTo(const EmptyListCase& c, std::ostream* os) { *os << c.name; }

class EmptyPlayListTest : public ChannelThreadTest, public ::testing::WithParamInterface<EmptyListCase> {};

TEST_P(EmptyPlayListTest, FetchesNoPictureAndReportsNothing)
{
    const std::string listPath = "/PalvinaDown/Images/Illustrated/3/config.dll";
    if (GetParam().playList) {
        site_.serve(listPath, IniBody({"[PlayList]", *GetParam().playList, "F0_Img=p0.jpg", "F1_Img=p1.jpg"}));
    }
    auto link = std::make_shared<RecordingPlayerLink>(0, 3);

    EXPECT_TRUE(runChannel(0, 3, link).empty());
    EXPECT_EQ(site_.requests(), (Requests{listPath}));
    EXPECT_TRUE(Exists(appPath("Images/Illustrated/3")));
}

INSTANTIATE_TEST_SUITE_P(Lists, EmptyPlayListTest,
                         ::testing::Values(EmptyListCase{"Missing", std::nullopt},
                                           EmptyListCase{"CountZero", "Count=0"},
                                           EmptyListCase{"NoCount", "Title=none"},
                                           EmptyListCase{"EmptyCount", "Count="},
                                           EmptyListCase{"CountNotANumber", "Count=x"},
                                           EmptyListCase{"CountWithBlankInside", "Count=1 2"},
                                           EmptyListCase{"CountNegative", "Count=-2"}),
                         [](const auto& info) { return std::string(info.param.name); });

class NothingToFetchTest : public ChannelThreadTest, public ::testing::WithParamInterface<int> {};

TEST_P(NothingToFetchTest, EndsAtOnceWithoutARequest)
{
    auto link = std::make_shared<RecordingPlayerLink>(GetParam(), 1);

    EXPECT_TRUE(runChannel(GetParam(), 1, link, site_.base() + "share/album.dll").empty());
    EXPECT_TRUE(site_.requests().empty());
    EXPECT_TRUE(mirror_.requests().empty());
    EXPECT_FALSE(Exists(appPath("Images/MyPhoto/1")));
}

INSTANTIATE_TEST_SUITE_P(OwnAlbumsAndUnknownClasses, NothingToFetchTest, ::testing::Values(2, 4, -1));

TEST_F(ChannelThreadTest, NamesThatLeaveTheChannelFolderAreNeverFetched)
{
    const std::string server = "/PalvinaDown/Images/Illustrated/4/";
    // Entries go from 4 down to 0; every unsafe entry is followed by the next one.
    site_.serve(server + "config.dll",
                IniBody({"[PlayList]", "Count=5", "F4_Img=../x.jpg", "F4_Xml=..", "F3_Img=a/b.jpg",
                         "F3_Xml=a\\b.xml", "F2_Img=/etc/passwd", "F1_Img=.", "F0_Img=ok.jpg", "F0_Xml=ok.xml"}));
    site_.serve(server + "ok.jpg", "picture ok");
    site_.serve(server + "ok.xml", "xml ok");
    site_.serve("/PalvinaDown/Images/Illustrated/x.jpg", "escaped");
    auto link = std::make_shared<RecordingPlayerLink>(0, 4);

    const auto events = runChannel(0, 4, link);

    EXPECT_EQ(events, (Requests{"report 4 1/5", "report 4 2/5", "report 4 3/5", "report 4 4/5", "report 4 5/5"}));
    EXPECT_EQ(site_.requests(), (Requests{server + "config.dll", server + "ok.jpg", server + "ok.xml"}));
    EXPECT_TRUE(mirror_.requests().empty());
    EXPECT_FALSE(Exists(appPath("Images/Illustrated/x.jpg")));
    EXPECT_FALSE(Exists(appPath("Images/Illustrated/4/a")));
    EXPECT_EQ(ReadBytes(appPath("Images/Illustrated/4/ok.jpg")), "picture ok");
}

TEST_F(ChannelThreadTest, SharedAlbumNamesThatLeaveTheFolderAreNeverFetched)
{
    site_.serve("/share/album.dll", IniBody({"[PlayList]", "Count=2", "WebSite=" + site_.base() + "pics/",
                                             "F0_Img=../../x.jpg", "F1_Img=b.jpg"}));
    site_.serve("/pics/b.jpg", "picture b");
    auto link = std::make_shared<RecordingPlayerLink>(3, 7);

    const auto events = runChannel(3, 7, link, site_.base() + "share/album.dll");

    EXPECT_EQ(events, (Requests{"report 307 1/2", "report 307 2/2"}));
    EXPECT_EQ(site_.requests(), (Requests{"/share/album.dll", "/pics/b.jpg"}));
    EXPECT_FALSE(Exists(appPath("Images/x.jpg")));
}

TEST_F(ChannelThreadTest, StartRunsTheDownloadOnItsOwnThread)
{
    serveNetworkChannel("Wallpaper", 6, 2);
    auto link = std::make_shared<RecordingPlayerLink>(1, 6);
    const std::shared_ptr<LinkRecord> record = link->record();

    TMyThread::Start(1, 6, std::move(link), "");

    // The recorder is released when the thread has finished with it.
    ASSERT_TRUE(record->waitUntilReleased(std::chrono::seconds(20)));
    EXPECT_EQ(record->events(), (Requests{"report 106 1/2", "report 106 2/2"}));
    EXPECT_EQ(ReadBytes(appPath("Images/Wallpaper/6/p0.jpg")), "picture p0");
}

} // namespace
} // namespace palvina::test
