#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

class QApplication;

namespace palvina::test {

// Processes the UI thread's events until `done` is true or `limitMs` has passed (a safety net
// against hanging, not a measurement). Returns done().
bool SpinEventsUntil(const std::function<bool()>& done, int limitMs = 20000);

// Runs a /bin/sh command line; its exit status, -1 when it did not end normally.
int RunCommand(const std::string& command);

// The text quoted for /bin/sh.
std::string ShellQuoted(const std::string& text);

// Sets (or, with nullopt, removes) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Another run of this test program that plays a role instead of running the tests, for what
// must happen in a process of its own (a second instance, an application that quits, GSettings
// with its own backend). The role's standard output comes back through `output`.
struct ChildProcess {
    pid_t pid = -1;
    int output = -1;
};

// Starts the role with the current environment plus `env` entries ("NAME=value"). A non-empty
// `wrapper` is a command line that runs the child (the child's path is appended to it).
ChildProcess StartChild(const std::string& role, const std::vector<std::string>& env = {},
                        const std::vector<std::string>& wrapper = {});

// One line of the child's output without the line end; empty at end of output.
std::string ReadChildLine(const ChildProcess& child);

// Waits for the child's end: its exit code, or 128 + signal when a signal ended it.
int WaitChild(ChildProcess& child);

// Roles: a name and a function whose result is the child's exit code. The application object
// is handed over, so that a role can also destroy it.
using ChildRoleFunction = int (*)(std::unique_ptr<QApplication>& app);

struct ChildRole {
    ChildRole(const char* name, ChildRoleFunction run);
};

// Runs the role named by the environment, if any: true with `exitCode` set when it ran.
bool RunChildRoleFromEnvironment(std::unique_ptr<QApplication>& app, int& exitCode);

} // namespace palvina::test
