#include "ProgramFolderFixture.h"
#include "files/AppSettings.h"
#include "net/PageRequest.h"
#include "net/VisitCounter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace palvina::test {
namespace {

class VisitCounterTest : public ProgramFolderFixture {
protected:
    // Ticks until the counter reaches `last - 1`, expecting nothing to happen on the way.
    void tickQuietlyUpTo(VisitCounter& counter, int last)
    {
        while (counter.ticks() < last - 1) {
            const VisitStep step = counter.tick();
            ASSERT_FALSE(step.stopTimer) << "tick " << counter.ticks();
            ASSERT_EQ(step.pageUrl, "") << "tick " << counter.ticks();
        }
    }
};

TEST_F(VisitCounterTest, FirstRunAsksForTheInstallPageAfterOneMinute)
{
    WriteAppSetting("App", "isIns", "0");
    WriteAppSetting("App", "id", "123");
    VisitCounter counter;

    tickQuietlyUpTo(counter, 60);
    EXPECT_EQ(ReadAppSetting("App", "isIns"), "0");
    const VisitStep step = counter.tick();

    EXPECT_TRUE(step.stopTimer);
    EXPECT_EQ(step.pageUrl, site_.base() + "install.html?123");
    EXPECT_EQ(ReadAppSetting("App", "isIns"), "1");
}

// Every value of isIns other than exactly "0" means the install was already reported.
class LaterRunTest : public VisitCounterTest, public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(LaterRunTest, AsksForTheVisitPageAfterThreeMinutesOnly)
{
    if (GetParam()) {
        WriteAppSetting("App", "isIns", *GetParam());
    }
    WriteAppSetting("App", "id", "123");
    VisitCounter counter;

    tickQuietlyUpTo(counter, 180);
    const VisitStep step = counter.tick();

    EXPECT_TRUE(step.stopTimer);
    EXPECT_EQ(step.pageUrl, site_.base() + "count.html?123");
    EXPECT_EQ(ReadAppSetting("App", "isIns"), GetParam().value_or(""));
}

INSTANTIATE_TEST_SUITE_P(IsInsValues, LaterRunTest,
                         ::testing::Values(std::optional<std::string>("1"), std::optional<std::string>(""),
                                           std::optional<std::string>("00"), std::optional<std::string>("O"),
                                           std::nullopt));

TEST_F(VisitCounterTest, AMissingIdLeavesNothingBehindTheQuestionMark)
{
    VisitCounter counter;

    tickQuietlyUpTo(counter, 180);

    EXPECT_EQ(counter.tick().pageUrl, site_.base() + "count.html?");
}

// The page request itself, against the test server: the target arrives as the page address
// built it, with an identifier that needs encoding made valid on the way.
struct PageCase {
    const char* id;
    const char* received;  // query as it reached the server
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.id; }

class PageRequestTest : public VisitCounterTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageRequestTest, ReachesTheServerWithTheIdentifier)
{
    site_.serve("/count.html", "<html></html>");

    EXPECT_TRUE(RequestPage(site_.base() + "count.html?" + GetParam().id));
    EXPECT_EQ(site_.targets(), (std::vector<std::string>{std::string("/count.html?") + GetParam().received}));
}

INSTANTIATE_TEST_SUITE_P(Identifiers, PageRequestTest,
                         ::testing::Values(PageCase{"123", "123"}, PageCase{"a b", "a%20b"}, PageCase{"用户7", "%D3%C3%BB%A77"},
                                           PageCase{"a%20b", "a%20b"},
                                           PageCase{"", ""}));

TEST_F(VisitCounterTest, AFailedPageRequestIsFalse)
{
    EXPECT_FALSE(RequestPage(site_.base() + "install.html?1"));
    EXPECT_EQ(site_.requests(), (std::vector<std::string>{"/install.html"}));
}

TEST_F(VisitCounterTest, BackgroundRequestReachesTheServer)
{
    site_.serve("/install.html", "ok");

    RequestPageInBackground(site_.base() + "install.html?42");

    ASSERT_TRUE(site_.waitForRequests(1, std::chrono::seconds(20)));
    EXPECT_EQ(site_.targets(), (std::vector<std::string>{"/install.html?42"}));
}

} // namespace
} // namespace palvina::test
