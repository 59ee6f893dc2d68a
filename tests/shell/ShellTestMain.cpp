// The shell tests need a widget application (message boxes, the URL handlers, the event loop
// that serves calls from other threads), created before the tests run.

#include "ShellTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromUtf8("Kestova桌面"));

    int exitCode = 0;
    if (palvina::test::RunChildRoleFromEnvironment(app, exitCode)) {
        std::fflush(stdout);
        // A role may leave threads blocked on purpose; end without waiting for them.
        std::_Exit(exitCode);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
