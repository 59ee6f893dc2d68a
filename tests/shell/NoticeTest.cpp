#include "shell/Notice.h"

#include "MessageBoxWatcher.h"
#include "ShellTestSupport.h"

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace palvina {
namespace {

using test::MessageBoxWatcher;
using test::SpinEventsUntil;

// Removes the test's notice handler again, whatever the test's outcome.
struct NoticeHandlerGuard {
    ~NoticeHandlerGuard() { SetNoticeHandlerForTesting(nullptr); }
};

struct NoticeKind {
    int kind;
    const char* caption;
    QMessageBox::Icon icon;
};

class NoticeKinds : public testing::TestWithParam<NoticeKind> {};

TEST_P(NoticeKinds, ShowsAModalBoxWithTheCaptionAndIconOfItsKindAndOneOkButton)
{
    MessageBoxWatcher watcher;
    ShowNotice(GetParam().kind, "频道下载完成");
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().title, QString::fromUtf8(GetParam().caption));
    EXPECT_EQ(watcher.last().icon, GetParam().icon);
    EXPECT_EQ(watcher.last().text, QString::fromUtf8("频道下载完成"));
    EXPECT_EQ(watcher.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(watcher.last().modality, Qt::ApplicationModal);
}

TEST_P(NoticeKinds, FromAWorkerIsShownOnTheUiThreadAndTheWorkerWaitsForIt)
{
    NoticeHandlerGuard guard;
    QThread* const uiThread = QThread::currentThread();
    std::atomic<int> shownKind{0};
    std::atomic<bool> onUiThread{false};
    std::atomic<bool> boxClosed{false};
    std::string shownText;
    SetNoticeHandlerForTesting([&](int kind, const std::string& text) {
        onUiThread = QThread::currentThread() == uiThread;
        shownKind = kind;
        shownText = text;
        boxClosed = true;
    });
    std::atomic<bool> workerSawClosedBox{false};
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        ShowNotice(GetParam().kind, "Kestova桌面  程序发现新版本，等待升级……");
        workerSawClosedBox = boxClosed.load();
        workerDone = true;
    });
    ASSERT_TRUE(SpinEventsUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_EQ(shownKind, GetParam().kind);
    EXPECT_EQ(shownText, "Kestova桌面  程序发现新版本，等待升级……");
    EXPECT_TRUE(onUiThread);
    EXPECT_TRUE(workerSawClosedBox);
}

INSTANTIATE_TEST_SUITE_P(Notice, NoticeKinds,
                         testing::Values(NoticeKind{1, "错误", QMessageBox::Critical},
                                         NoticeKind{2, "警告", QMessageBox::Warning},
                                         NoticeKind{3, "提示", QMessageBox::Information}));

class OtherNoticeKinds : public testing::TestWithParam<int> {};

TEST_P(OtherNoticeKinds, ShowNothingAndReturnAtOnce)
{
    MessageBoxWatcher watcher;
    ShowNotice(GetParam(), "nothing to see");
    EXPECT_EQ(watcher.count(), 0);

    NoticeHandlerGuard guard;
    int calls = 0;
    SetNoticeHandlerForTesting([&](int, const std::string&) { ++calls; });
    ShowNotice(GetParam(), "nothing to see");
    EXPECT_EQ(calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Notice, OtherNoticeKinds, testing::Values(0, 4, -1, 99));

// Without a widget application (a command-line tool) the notice goes to stderr.
int NoticeWithoutApplicationRole(std::unique_ptr<QApplication>& app)
{
    app.reset();
    dup2(STDOUT_FILENO, STDERR_FILENO);
    ShowNotice(2, "没有窗口");
    std::fflush(stderr);
    return 0;
}
const test::ChildRole noticeWithoutApplicationRole("notice-without-application",
                                                   NoticeWithoutApplicationRole);

TEST(Notice, WithoutAnApplicationGoesToStandardError)
{
    test::ChildProcess child = test::StartChild("notice-without-application");
    ASSERT_GT(child.pid, 0);
    EXPECT_EQ(test::ReadChildLine(child), "警告: 没有窗口");
    EXPECT_EQ(test::WaitChild(child), 0);
}

} // namespace
} // namespace palvina
