#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {

namespace {

// Failed: no lock can be taken there at all (missing or read-only folder, no locks on the
// file system).
enum class LockResult { Held, Busy, NotOurs, Failed };

// Descriptors of the names this process holds, open until the process ends.
std::mutex heldMutex;
std::map<std::string, int> heldLocks;

bool IsFolder(const char* path)
{
    struct stat st {};
    return path && *path == '/' && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// A name is a file name here: a '/' inside it must not lead elsewhere.
std::string SafeFileName(std::string name)
{
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return name;
}

LockResult LockFile(const std::string& path, int& fdOut)
{
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        // Another user's file in a shared folder cannot be opened for writing; a symbolic
        // link planted under the name is not followed.
        return (errno == EACCES || errno == EPERM || errno == ELOOP) ? LockResult::NotOurs
                                                                     : LockResult::Failed;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return LockResult::NotOurs;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
    }
    fdOut = fd;
    return LockResult::Held;
}

} // namespace

bool AcquireSingleInstanceIn(const std::string& folder, const std::string& mutexName)
{
    std::lock_guard lock(heldMutex);
    const std::string base = folder + "/" + SafeFileName(mutexName);
    auto held = heldLocks.find(base);
    if (held != heldLocks.end()) {
        return true;
    }
    int fd = -1;
    LockResult result = LockFile(base + ".lock", fd);
    if (result == LockResult::NotOurs) {
        result = LockFile(base + "-" + std::to_string(geteuid()) + ".lock", fd);
    }
    if (result == LockResult::Busy) {
        return false;
    }
    // A guard that cannot be set up at all must not keep the program from starting.
    if (result == LockResult::Held) {
        heldLocks.emplace(base, fd);
    }
    return true;
}

bool AcquireSingleInstance(const std::string& mutexName)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return AcquireSingleInstanceIn(IsFolder(runtime) ? runtime : "/tmp", mutexName);
}

} // namespace palvina
