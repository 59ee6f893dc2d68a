#include "platform/ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace palvina {

namespace {

// Spawn attributes and file actions freed whatever way the call ends.
class SpawnSetup {
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t* actions() { return &actions_; }
    posix_spawnattr_t* attributes() { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// waitpid that is not cut short by a signal; 0 while the child still runs.
pid_t Reap(pid_t pid, int& status, int flags)
{
    pid_t result = 0;
    do {
        result = waitpid(pid, &status, flags);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

int RunProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout)
{
    if (arguments.empty()) {
        throw std::runtime_error("no program to run");
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(setup.actions(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(setup.actions(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(setup.actions(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The child gets the default signal mask and handlers, whatever this process has set.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(setup.attributes(), &none);
    posix_spawnattr_setsigdefault(setup.attributes(), &all);
    posix_spawnattr_setflags(setup.attributes(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], setup.actions(), setup.attributes(), argv.data(), environ);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(spawned));
    }

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = Reap(pid, status, WNOHANG);
        if (done == pid) {
            break;
        }
        if (done < 0) {
            throw std::runtime_error("lost track of " + arguments[0]);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            Reap(pid, status, 0);
            throw std::runtime_error(arguments[0] + " did not finish in time");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(status)) {
        throw std::runtime_error(arguments[0] + " ended by a signal");
    }
    return WEXITSTATUS(status);
}

} // namespace palvina
