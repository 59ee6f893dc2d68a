#include "files/TempFolder.h"
#include "net/DownloadFile.h"
#include "net/NetConfig.h"
#include "net/TestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace palvina {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::TestServer;
using test::WriteBytes;

const std::string kRemote = "PalvinaDown/Images/Illustrated/1/a.jpg";
const std::string kRemotePath = "/" + kRemote;

// Names of everything in a folder, so a leftover temporary file shows.
std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// A body of `size` bytes that differs from position to position.
std::string PatternBody(std::size_t size, char seed)
{
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>(seed + i * 31 + i / 251);
    }
    return body;
}

// A port on 127.0.0.1 that nothing listens on: bound once, then closed.
int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    ::close(fd);
    return ntohs(addr.sin_port);
}

// Two servers for the two hosts and a folder for the local files. The stall limit is short enough
// to keep a stalled transfer brief and long enough for a busy machine.
class DownloadFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetServerBasesForTesting(site_.base(), mirror_.base());
        DownloadLimits limits;
        limits.stallSeconds = 10;
        SetDownloadLimitsForTesting(limits);
    }

    void TearDown() override
    {
        SetServerBasesForTesting("", "");
        SetDownloadLimitsForTesting(DownloadLimits{});
    }

    TempFolder folder_;
    TestServer site_;
    TestServer mirror_;
};

TEST_F(DownloadFileTest, RelativePathFallsBackToSecondHost)
{
    mirror_.serve(kRemotePath, "from the second host");
    const std::string local = folder_.file("a.jpg");

    EXPECT_TRUE(DownloadFile(kRemote, local, true));

    EXPECT_EQ(ReadBytes(local), "from the second host");
    EXPECT_EQ(site_.requests(), std::vector<std::string>{kRemotePath});
    EXPECT_EQ(mirror_.requests(), std::vector<std::string>{kRemotePath});
}

TEST_F(DownloadFileTest, FirstHostServingMeansNoSecondRequest)
{
    site_.serve(kRemotePath, "from the site");
    mirror_.serve(kRemotePath, "from the second host");
    const std::string local = folder_.file("a.jpg");
    WriteBytes(local, "old content");

    EXPECT_TRUE(DownloadFile(kRemote, local, true));

    EXPECT_EQ(ReadBytes(local), "from the site");
    EXPECT_TRUE(mirror_.requests().empty());
    EXPECT_EQ(FolderEntries(folder_.path()), std::vector<std::string>{"a.jpg"});
}

TEST_F(DownloadFileTest, BothHostsFailingLeavesExistingFile)
{
    const std::string local = folder_.file("a.jpg");
    WriteBytes(local, "old content");

    EXPECT_FALSE(DownloadFile(kRemote, local, true));

    EXPECT_EQ(ReadBytes(local), "old content");
    EXPECT_EQ(site_.count(kRemotePath), 1u);
    EXPECT_EQ(mirror_.count(kRemotePath), 1u);
    EXPECT_EQ(FolderEntries(folder_.path()), std::vector<std::string>{"a.jpg"});
}

TEST_F(DownloadFileTest, AbsoluteAddressGetsOneAttempt)
{
    mirror_.serve("/Share/a.jpg", "never asked for");
    const std::string local = folder_.file("a.jpg");

    EXPECT_FALSE(DownloadFile(site_.base() + "Share/a.jpg", local, false));

    EXPECT_EQ(site_.requests(), std::vector<std::string>{"/Share/a.jpg"});
    EXPECT_TRUE(mirror_.requests().empty());
    EXPECT_FALSE(std::filesystem::exists(local));
}

TEST_F(DownloadFileTest, AbsoluteAddressWithChineseNameAndBlank)
{
    mirror_.serve("/Share/风景 1.jpg", "shared picture");
    const std::string local = folder_.file("风景 1.jpg");

    EXPECT_TRUE(DownloadFile(mirror_.base() + "Share/风景 1.jpg", local, false));

    EXPECT_EQ(ReadBytes(local), "shared picture");
    EXPECT_EQ(mirror_.targets(), std::vector<std::string>{"/Share/%B7%E7%BE%B0%201.jpg"});
    EXPECT_TRUE(site_.requests().empty());
}

TEST_F(DownloadFileTest, RelativePathGoesOutAsPercentEncodedGbk)
{
    site_.serve("/PalvinaDown/Images/Class/风景 1.jpg", "thumbnail");
    const std::string local = folder_.file("风景 1.jpg");

    EXPECT_TRUE(DownloadFile("PalvinaDown/Images/Class/风景 1.jpg", local, true));

    EXPECT_EQ(ReadBytes(local), "thumbnail");
    EXPECT_EQ(site_.targets(),
              std::vector<std::string>{"/PalvinaDown/Images/Class/%B7%E7%BE%B0%201.jpg"});
}

TEST_F(DownloadFileTest, MissingLocalFolderFailsAfterAskingBothHosts)
{
    site_.serve(kRemotePath, "body");
    mirror_.serve(kRemotePath, "body");
    const std::string missing = folder_.path() + "missing";

    EXPECT_FALSE(DownloadFile(kRemote, missing + "/a.jpg", true));

    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(site_.count(kRemotePath), 1u);
    EXPECT_EQ(mirror_.count(kRemotePath), 1u);
}

TEST_F(DownloadFileTest, MissingLocalFolderWithEmptyBodyFails)
{
    site_.serve(kRemotePath, "");
    const std::string missing = folder_.path() + "missing";

    EXPECT_FALSE(DownloadFile(kRemote, missing + "/a.jpg", true));

    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DownloadFileTest, ClosedPortFails)
{
    const int port = ClosedPort();
    ASSERT_GT(port, 0);
    const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
    SetServerBasesForTesting(base, base);
    const std::string local = folder_.file("a.jpg");
    WriteBytes(local, "old content");

    EXPECT_FALSE(DownloadFile(kRemote, local, true));
    EXPECT_FALSE(DownloadFile(base + kRemote, local, false));

    EXPECT_EQ(ReadBytes(local), "old content");
}

TEST_F(DownloadFileTest, OtherSchemesAreRefused)
{
    const std::string source = folder_.file("source.txt");
    WriteBytes(source, "local secret");
    const std::string local = folder_.file("a.jpg");

    EXPECT_FALSE(DownloadFile("file://" + source, local, false));

    EXPECT_FALSE(std::filesystem::exists(local));
}

TEST_F(DownloadFileTest, ConcurrentDownloadsAllArrive)
{
    constexpr int kThreads = 8;
    std::vector<std::string> bodies;
    for (int i = 0; i < kThreads; ++i) {
        bodies.push_back(PatternBody(300000 + i * 1000, static_cast<char>('a' + i)));
        site_.serve("/PalvinaDown/f" + std::to_string(i) + ".jpg", bodies.back());
    }
    std::atomic<int> succeeded{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            const std::string name = "f" + std::to_string(i) + ".jpg";
            if (DownloadFile("PalvinaDown/" + name, folder_.file(name), true)) {
                ++succeeded;
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }

    EXPECT_EQ(succeeded.load(), kThreads);
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(ReadBytes(folder_.file("f" + std::to_string(i) + ".jpg")), bodies[i]) << i;
    }
    EXPECT_TRUE(mirror_.requests().empty());
}

// How the product web site answers the one path; the second host answers 404 throughout, so a
// failed first attempt ends the call with false.
struct AnswerCase {
    const char* name;
    std::function<void(TestServer&)> setUp;
    bool succeeds;
    std::string content;             // the local file afterwards, when the call succeeded
    std::size_t maxBodyBytes = 256u << 20;
    long stallSeconds = 10;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class DownloadAnswerTest : public DownloadFileTest, public ::testing::WithParamInterface<AnswerCase> {
};

TEST_P(DownloadAnswerTest, ReplacesFileOnlyOnWholeBody)
{
    const AnswerCase& c = GetParam();
    DownloadLimits limits = CurrentDownloadLimits();
    limits.maxBodyBytes = c.maxBodyBytes;
    limits.stallSeconds = c.stallSeconds;
    SetDownloadLimitsForTesting(limits);
    c.setUp(site_);
    const std::string local = folder_.file("a.jpg");
    WriteBytes(local, "old content");

    EXPECT_EQ(DownloadFile(kRemote, local, true), c.succeeds);

    EXPECT_EQ(ReadBytes(local), c.succeeds ? c.content : "old content");
    EXPECT_EQ(FolderEntries(folder_.path()), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(mirror_.count(kRemotePath), c.succeeds ? 0u : 1u);
}

void ServeBody(TestServer& server, std::string body)
{
    server.serve(kRemotePath, std::move(body));
}

void RespondStatus(TestServer& server, int status)
{
    server.handle(kRemotePath, [status](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content("status body", "text/plain");
    });
}

void Redirect(TestServer& server, const std::string& location)
{
    server.handle(kRemotePath, [location](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(location);
    });
}

// Announces `announced` bytes, sends `sent` of them, then gives up and closes the connection.
void CutOff(TestServer& server, std::size_t announced, std::size_t sent)
{
    server.handle(kRemotePath, [announced, sent](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(announced, "application/octet-stream",
                                 [sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset >= sent) {
                                         return false;
                                     }
                                     const std::string part(sent - offset, 'x');
                                     return sink.write(part.data(), part.size());
                                 });
    });
}

// Sends headers and part of the body, then holds the connection silent far beyond the stall
// limit (until the server shuts down).
void Stall(TestServer& server)
{
    server.handle(kRemotePath, [&server](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "application/octet-stream",
                                 [&server](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset == 0) {
                                         return sink.write("partial", 7);
                                     }
                                     server.sleepUnlessStopping(std::chrono::seconds(60));
                                     return false;
                                 });
    });
}

// A body without a length, sent in chunks until `total` bytes have gone out.
void Chunked(TestServer& server, std::size_t total)
{
    server.handle(kRemotePath, [total](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "application/octet-stream", [total](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= total) {
                    sink.done();
                    return true;
                }
                const std::string part(std::min<std::size_t>(1000, total - offset), 'y');
                return sink.write(part.data(), part.size());
            });
    });
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DownloadAnswerTest,
    ::testing::Values(
        AnswerCase{"Body", [](TestServer& s) { ServeBody(s, "new content"); }, true, "new content"},
        AnswerCase{"EmptyBody", [](TestServer& s) { ServeBody(s, ""); }, true, ""},
        AnswerCase{"BinaryBody", [](TestServer& s) { ServeBody(s, std::string("\0\r\n\xff", 4)); },
                   true, std::string("\0\r\n\xff", 4)},
        AnswerCase{"NotFound", [](TestServer& s) { RespondStatus(s, 404); }, false, ""},
        AnswerCase{"ServerError", [](TestServer& s) { RespondStatus(s, 500); }, false, ""},
        AnswerCase{"RedirectWithoutLocation", [](TestServer& s) { RespondStatus(s, 302); }, false, ""},
        AnswerCase{"RedirectFollowed",
                   [](TestServer& s) {
                       Redirect(s, "/elsewhere/b.jpg");
                       s.serve("/elsewhere/b.jpg", "moved content");
                   },
                   true, "moved content"},
        AnswerCase{"RedirectLoop", [](TestServer& s) { Redirect(s, kRemotePath); }, false, ""},
        AnswerCase{"RedirectToFileScheme", [](TestServer& s) { Redirect(s, "file:///etc/hostname"); },
                   false, ""},
        AnswerCase{"CutOffMidway", [](TestServer& s) { CutOff(s, 100000, 4000); }, false, ""},
        AnswerCase{"Stalled", [](TestServer& s) { Stall(s); }, false, "", 256u << 20, 1},
        AnswerCase{"ChunkedBody", [](TestServer& s) { Chunked(s, 5000); }, true, std::string(5000, 'y')},
        AnswerCase{"AnnouncedLengthOverCap", [](TestServer& s) { ServeBody(s, std::string(5000, 'z')); },
                   false, "", 4096},
        AnswerCase{"UnannouncedLengthOverCap", [](TestServer& s) { Chunked(s, 5000); }, false, "", 4096},
        AnswerCase{"ExactlyTheCap", [](TestServer& s) { ServeBody(s, std::string(4096, 'z')); }, true,
                   std::string(4096, 'z'), 4096}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace palvina
