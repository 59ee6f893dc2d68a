#include "files/AppDir.h"

#include <climits>
#include <mutex>
#include <unistd.h>

namespace palvina {

namespace {

std::string ExecutableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        const std::string exe(buffer, static_cast<std::size_t>(n));
        const std::size_t slash = exe.rfind('/');
        if (slash != std::string::npos) {
            return exe.substr(0, slash + 1);
        }
    }
    // Without /proc the working folder is the best remaining guess.
    if (getcwd(buffer, sizeof buffer)) {
        return WithTrailingBackslash(buffer);
    }
    return "./";
}

std::mutex& OverrideMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& Override()
{
    static std::string path;
    return path;
}

} // namespace

std::string GetAppDir()
{
    {
        std::lock_guard lock(OverrideMutex());
        if (!Override().empty()) {
            return Override();
        }
    }
    // The executable does not move while it runs: look it up once.
    static const std::string folder = ExecutableFolder();
    return folder;
}

std::string WithTrailingBackslash(std::string_view path)
{
    std::string result(path);
    if (result.empty() || result.back() != '/') {
        result.push_back('/');
    }
    return result;
}

void SetAppDirForTesting(const std::string& path)
{
    std::lock_guard lock(OverrideMutex());
    Override() = path.empty() ? std::string() : WithTrailingBackslash(path);
}

} // namespace palvina
