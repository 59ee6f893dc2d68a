#include "shell/ErrorReport.h"

#include "files/Errors.h"
#include "MessageBoxWatcher.h"
#include "ShellTestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace palvina {
namespace {

struct ReportHandlerGuard {
    ~ReportHandlerGuard() { SetErrorReportHandlerForTesting(nullptr); }
};

struct HandlerCase {
    const char* name;
    std::function<void()> handler;
    std::optional<std::string> report;  // nullopt: nothing reported
};

class ReportingErrors : public testing::TestWithParam<HandlerCase> {};

TEST_P(ReportingErrors, ReportsWhatTheHandlerThrowsAndGoesOn)
{
    ReportHandlerGuard guard;
    std::optional<std::string> reported;
    SetErrorReportHandlerForTesting([&](const std::string& text) { reported = text; });
    const bool ok = RunReportingErrors(GetParam().handler);
    EXPECT_EQ(ok, !GetParam().report.has_value());
    EXPECT_EQ(reported, GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    ErrorReport, ReportingErrors,
    testing::Values(
        HandlerCase{"NoError", [] {}, std::nullopt},
        HandlerCase{"WriteError", [] { throw FileWriteError("/tmp/频道/config.ini"); },
                    "Unable to write to /tmp/频道/config.ini"},
        HandlerCase{"ConvertError", [] { throw ConvertError("'abc' is not a valid integer value"); },
                    "'abc' is not a valid integer value"},
        HandlerCase{"NotAStdException", [] { throw 42; }, std::string(kUnknownErrorText)}),
    [](const testing::TestParamInfo<HandlerCase>& info) { return std::string(info.param.name); });

TEST(ErrorReport, ShowsTheTextInACriticalBoxCaptionedWithTheApplicationName)
{
    test::MessageBoxWatcher watcher;
    EXPECT_FALSE(RunReportingErrors([] { throw std::runtime_error("图片无法打开"); }));
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().title, QString::fromUtf8("Kestova桌面"));
    EXPECT_EQ(watcher.last().text, QString::fromUtf8("图片无法打开"));
    EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
}

TEST(ErrorReport, FromAWorkerIsShownOnTheUiThread)
{
    ReportHandlerGuard guard;
    QThread* const uiThread = QThread::currentThread();
    std::atomic<bool> onUiThread{false};
    std::string reported;
    SetErrorReportHandlerForTesting([&](const std::string& text) {
        onUiThread = QThread::currentThread() == uiThread;
        reported = text;
    });
    std::atomic<bool> done{false};
    std::thread worker([&] {
        ReportError(std::runtime_error("from a worker"));
        done = true;
    });
    ASSERT_TRUE(test::SpinEventsUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(reported, "from a worker");
}

} // namespace
} // namespace palvina
