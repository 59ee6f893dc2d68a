#include "shell/UiThreadCall.h"

#include "ShellTestSupport.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

namespace palvina {
namespace {

using test::SpinEventsUntil;

// Runs `work` on a thread of its own; the UI thread serves events until it is done.
template <typename Work>
auto RunOnWorker(Work work)
{
    auto task = std::async(std::launch::async, std::move(work));
    SpinEventsUntil([&] { return task.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return task.get();
}

TEST(UiThreadCall, OnTheUiThreadRunsAtOnce)
{
    bool ran = false;
    EXPECT_TRUE(CallOnUiThreadAndWait([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(IsUiThread());
}

TEST(UiThreadCall, FromAWorkerRunsOnTheUiThreadWhileTheWorkerWaits)
{
    QThread* const uiThread = QThread::currentThread();
    auto order = std::make_shared<std::atomic<int>>(0);
    std::atomic<bool> ranOnUiThread{false};
    std::atomic<int> stepWhenCallEnded{-1};
    std::atomic<bool> timerServed{false};

    const int stepAfterReturn = RunOnWorker([&] {
        EXPECT_FALSE(IsUiThread());
        const bool ok = CallOnUiThreadAndWait([&, order] {
            ranOnUiThread = QThread::currentThread() == uiThread;
            // Like a modal box: the UI thread keeps serving its events inside the call.
            QEventLoop loop;
            QTimer::singleShot(30, &loop, [&] {
                timerServed = true;
                loop.quit();
            });
            loop.exec();
            stepWhenCallEnded = ++*order;
        });
        EXPECT_TRUE(ok);
        return ++*order;
    });

    EXPECT_TRUE(ranOnUiThread);
    EXPECT_TRUE(timerServed);
    EXPECT_EQ(stepWhenCallEnded, 1);
    EXPECT_EQ(stepAfterReturn, 2);  // the worker went on only after the call had ended
}

TEST(UiThreadCall, AnExceptionOfTheCallIsSwallowedOnTheUiThread)
{
    const bool ok = RunOnWorker([] {
        return CallOnUiThreadAndWait([] { throw std::runtime_error("broken"); });
    });
    EXPECT_FALSE(ok);
    // The UI thread is unharmed and serves the next call.
    EXPECT_TRUE(RunOnWorker([] { return CallOnUiThreadAndWait([] {}); }));
}

TEST(UiThreadCall, AWaitingCallerGivesUpOnItsFlagAndTheCallNeverRuns)
{
    auto runs = std::make_shared<std::atomic<int>>(0);
    std::atomic<bool> giveUp{false};
    std::atomic<bool> returned{false};
    // The UI thread serves no events here, so the posted call waits in the queue.
    std::thread worker([&] {
        const bool ok = CallOnUiThreadAndWait([runs] { ++*runs; }, &giveUp);
        EXPECT_FALSE(ok);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_FALSE(returned);  // still waiting while the flag is clear
    giveUp = true;
    worker.join();
    EXPECT_TRUE(returned);

    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(*runs, 0);
}

TEST(UiThreadCall, ACallStillRunningWhenItsCallerGaveUpFinishesOnItsOwn)
{
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto callerReturned = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> giveUp{false};
    std::atomic<bool>* const giveUpFlag = &giveUp;
    std::thread worker([&] {
        // The caller's own locals go away when it returns; the call must not need them.
        std::string callerLocal = "caller's text";
        const bool ok = CallOnUiThreadAndWait(
            [finished, callerReturned, giveUpFlag, text = callerLocal] {
                // The UI thread sets the flag meanwhile (as the player does when it closes),
                // and the call runs on until its caller has given up and gone.
                *giveUpFlag = true;
                QEventLoop loop;
                QTimer poll;
                QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                    if (*callerReturned) {
                        loop.quit();
                    }
                });
                poll.start(5);
                loop.exec();
                *finished = !text.empty();
            },
            &giveUp);
        EXPECT_FALSE(ok);
        *callerReturned = true;
    });
    ASSERT_TRUE(SpinEventsUntil([&] { return finished->load(); }));
    worker.join();
    EXPECT_TRUE(*callerReturned);
}

// Child roles: the application's end is for good, so it happens in a process of its own.

// A call from a thread of its own while this thread serves no events and does `meanwhile`,
// waited for at most 20 s: 1 when it ran, 0 when its caller gave up, 2 when the caller was
// still waiting (the thread is then left behind).
int CallFromWorker(const std::function<void()>& meanwhile)
{
    auto result = std::make_shared<std::promise<bool>>();
    auto started = std::make_shared<std::atomic<bool>>(false);
    std::future<bool> answer = result->get_future();
    std::thread([result, started] {
        *started = true;
        result->set_value(CallOnUiThreadAndWait([] {}));
    }).detach();
    while (!*started) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    meanwhile();
    if (answer.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        return 2;
    }
    return answer.get() ? 1 : 0;
}

// After the event loop has quit, a caller from another thread is not left waiting.
int AfterQuitRole(std::unique_ptr<QApplication>& app)
{
    QTimer::singleShot(0, app.get(), [] { QCoreApplication::quit(); });
    app->exec();
    return CallFromWorker([] {});
}
const test::ChildRole afterQuitRole("ui-call-after-quit", AfterQuitRole);

// A caller waiting when the application object is destroyed gives up.
int AppDestroyedRole(std::unique_ptr<QApplication>& app)
{
    return CallFromWorker([&app] { app.reset(); });
}
const test::ChildRole appDestroyedRole("ui-call-app-destroyed", AppDestroyedRole);

TEST(UiThreadCall, CallersAreNotLeftWaitingWhenTheApplicationEnds)
{
    for (const char* role : {"ui-call-after-quit", "ui-call-app-destroyed"}) {
        test::ChildProcess child = test::StartChild(role);
        ASSERT_GT(child.pid, 0);
        EXPECT_EQ(test::WaitChild(child), 0) << role;
    }
}

} // namespace
} // namespace palvina
