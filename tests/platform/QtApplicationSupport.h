#pragma once

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>

#include <cstdlib>
#include <optional>
#include <string>

namespace palvina::test {

// The tests that need Qt's application object (screen names, event loops in threads) share one
// QGuiApplication on the test's X display, made by the first of them and kept for the rest of
// the program, as the player keeps its own. False when another kind of application exists.
inline bool EnsureGuiApplication()
{
    if (!QCoreApplication::instance()) {
        const char* old = std::getenv("QT_QPA_PLATFORM");
        const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
        if (saved) {
            setenv("QT_QPA_PLATFORM", saved->c_str(), 1);
        } else {
            unsetenv("QT_QPA_PLATFORM");
        }
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace palvina::test
