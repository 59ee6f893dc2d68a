#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace palvina::test {

// Polls the condition every 20 ms until it holds or the time is up; true when it held.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// This process's environment with some variables replaced (an empty optional removes one).
class Environment {
public:
    explicit Environment(const std::map<std::string, std::optional<std::string>>& changes = {})
    {
        std::map<std::string, std::string> all;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text(*entry);
            const std::size_t equals = text.find('=');
            if (equals != std::string::npos) {
                all[text.substr(0, equals)] = text.substr(equals + 1);
            }
        }
        for (const auto& [name, value] : changes) {
            if (value) {
                all[name] = *value;
            } else {
                all.erase(name);
            }
        }
        for (const auto& [name, value] : all) {
            texts_.push_back(name + "=" + value);
        }
        for (std::string& text : texts_) {
            pointers_.push_back(text.data());
        }
        pointers_.push_back(nullptr);
    }
    char** get() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

// Starts a program with posix_spawnp (safe in a process with threads). Its output goes to
// /dev/null, or to `output` (the write end of a pipe) when given.
inline pid_t SpawnProgram(const std::vector<std::string>& arguments, Environment& environment, int output = -1)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environment.get());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(result));
    }
    return pid;
}

// A program started for one test, ended (TERM, then KILL) and reaped when this goes away.
class BackgroundProgram {
public:
    BackgroundProgram(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::optional<std::string>>& environment = {})
    {
        Environment env(environment);
        pid_ = SpawnProgram(arguments, env);
    }
    ~BackgroundProgram() { stop(); }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool running()
    {
        if (pid_ <= 0) {
            return false;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        return true;
    }

    void stop()
    {
        if (!running()) {
            return;
        }
        kill(pid_, SIGTERM);
        int status = 0;
        const bool ended = WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; },
                                     std::chrono::seconds(3));
        if (!ended) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

struct ProgramResult {
    int status = -1;  // exit status, -1 when it did not end normally in time
    std::string output;
};

// Runs a program to its end (killed after `timeout`) and collects what it writes to stdout.
inline ProgramResult RunProgramForOutput(const std::vector<std::string>& arguments,
                                         const std::map<std::string, std::optional<std::string>>& environment = {},
                                         std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe");
    }
    Environment env(environment);
    pid_t pid = -1;
    try {
        pid = SpawnProgram(arguments, env, pipeEnds[1]);
    } catch (...) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        throw;
    }
    close(pipeEnds[1]);
    ProgramResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd wait{pipeEnds[0], POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = (!timedOut && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    return result;
}

// Whether a program can be found on PATH or at an absolute path.
inline bool ProgramAvailable(const std::string& program)
{
    if (!program.empty() && program[0] == '/') {
        return access(program.c_str(), X_OK) == 0;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace palvina::test
