#include "player/UiPlayerLink.h"

#include "net/ProgramFolderFixture.h"
#include "net/TMyThread.h"
#include "shell/Notice.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace palvina {
namespace {

using namespace std::chrono_literals;

struct Report {
    int key;
    int done;
    int total;
    bool onUiThread;
};

// Runs the event loop until the condition holds or the time is up.
bool SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Waits without running the event loop: nothing posted to the interface thread can run.
bool WaitWithoutEvents(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class UiPlayerLinkTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override
    {
        ProgramFolderFixture::SetUp();
        site_.serve("/PalvinaDown/Images/Illustrated/4/config.dll",
                    test::IniBody({"[PlayList]", "Count=3", "F0_Img=a.jpg", "F1_Img=b.jpg", "F2_Img=c.jpg"}));
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            site_.serve(std::string("/PalvinaDown/Images/Illustrated/4/") + name, "picture");
        }
        link_ = std::make_shared<UiPlayerLink>([this](int key, const DownloadProgress& progress) {
            reports_.push_back({key, progress.Done, progress.Total,
                                QThread::currentThread() == QCoreApplication::instance()->thread()});
        });
        link_->setCurrentChannel(0, 4);
    }

    std::vector<Report> reports_;
    std::shared_ptr<UiPlayerLink> link_;
};

TEST_F(UiPlayerLinkTest, ReportsReachTheInterfaceThreadInOrderWhileItKeepsRunning)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(1);

    TMyThread::Start(0, 4, link_, "");
    ASSERT_TRUE(SpinUntil([&] { return reports_.size() == 3 && link_.use_count() == 1; }));

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reports_[i].key, 4);
        EXPECT_EQ(reports_[i].done, i + 1);
        EXPECT_EQ(reports_[i].total, 3);
        EXPECT_TRUE(reports_[i].onUiThread);
    }
    EXPECT_GT(ticks, 0) << "the interface thread was blocked while the thread downloaded";
    EXPECT_TRUE(test::Exists(appPath("Images/Illustrated/4/a.jpg")));
}

TEST_F(UiPlayerLinkTest, ClosingReleasesAWaitingThreadAndDropsItsReport)
{
    TMyThread::Start(0, 4, link_, "");
    // The first report waits for the interface thread, which does not run its loop here.
    ASSERT_TRUE(WaitWithoutEvents([&] { return site_.count("/PalvinaDown/Images/Illustrated/4/c.jpg") == 1; }));
    link_->setClosing();

    ASSERT_TRUE(WaitWithoutEvents([&] { return link_.use_count() == 1; }))
        << "the thread still waits for the interface thread after the player closed";
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports_.empty());
    EXPECT_EQ(site_.count("/PalvinaDown/Images/Illustrated/4/b.jpg"), 0u);
}

TEST_F(UiPlayerLinkTest, NoticeOfAWorkerIsShownOnTheInterfaceThread)
{
    std::vector<bool> shownOnUiThread;
    SetNoticeHandlerForTesting([&](int kind, const std::string& text) {
        EXPECT_EQ(kind, 3);
        EXPECT_EQ(text, "新版本");
        shownOnUiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
    });
    bool returned = false;
    std::thread worker([&] {
        link_->showNotice(3, "新版本");
        returned = true;
    });
    EXPECT_TRUE(SpinUntil([&] { return !shownOnUiThread.empty(); }));
    worker.join();
    SetNoticeHandlerForTesting({});

    EXPECT_TRUE(returned);
    ASSERT_EQ(shownOnUiThread.size(), 1u);
    EXPECT_TRUE(shownOnUiThread[0]);
}

} // namespace
} // namespace palvina
