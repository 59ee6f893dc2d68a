#include "ShellTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace palvina::test {

namespace {

constexpr char kRoleVariable[] = "PALVINA_SHELL_TEST_ROLE";

std::map<std::string, ChildRoleFunction>& Roles()
{
    static std::map<std::string, ChildRoleFunction> roles;
    return roles;
}

std::string OwnExecutable()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

} // namespace

bool SpinEventsUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

int RunCommand(const std::string& command)
{
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str())) {
        old_ = old;
    }
    if (value) {
        setenv(name_.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv()
{
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ChildProcess StartChild(const std::string& role, const std::vector<std::string>& env,
                        const std::vector<std::string>& wrapper)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        entries.emplace_back(*entry);
    }
    entries.push_back(std::string(kRoleVariable) + "=" + role);
    entries.insert(entries.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    std::vector<std::string> command = wrapper;
    command.push_back(OwnExecutable());
    std::vector<char*> argv;
    for (std::string& word : command) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    ChildProcess child;
    if (posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        child.pid = -1;
        close(pipeEnds[0]);
    } else {
        child.output = pipeEnds[0];
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    return child;
}

std::string ReadChildLine(const ChildProcess& child)
{
    std::string line;
    char c = 0;
    while (child.output >= 0) {
        const ssize_t n = read(child.output, &c, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || c == '\n') {
            break;
        }
        line += c;
    }
    return line;
}

int WaitChild(ChildProcess& child)
{
    int status = 0;
    if (child.pid <= 0 || waitpid(child.pid, &status, 0) != child.pid) {
        return -1;
    }
    child.pid = -1;
    if (child.output >= 0) {
        close(child.output);
        child.output = -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ChildRole::ChildRole(const char* name, ChildRoleFunction run)
{
    Roles()[name] = run;
}

bool RunChildRoleFromEnvironment(std::unique_ptr<QApplication>& app, int& exitCode)
{
    const char* role = std::getenv(kRoleVariable);
    if (!role) {
        return false;
    }
    const auto found = Roles().find(role);
    exitCode = found == Roles().end() ? 100 : found->second(app);
    return true;
}

} // namespace palvina::test
