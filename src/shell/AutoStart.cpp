#include "shell/AutoStart.h"

#include "files/AtomicFile.h"
#include "files/Folders.h"
#include "shell/DesktopEntryExec.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace palvina {

namespace {

constexpr char kEntryFileName[] = "kestova.desktop";
constexpr char kEntryName[] = "Kestova桌面";
constexpr std::string_view kDeletedSuffix = " (deleted)";

} // namespace

std::string AutoStartFolder()
{
    std::string folder = "/etc/xdg";
    if (const char* dirs = std::getenv("XDG_CONFIG_DIRS")) {
        std::string_view rest(dirs);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view entry = rest.substr(0, colon);
            // Relative entries are not valid there and are skipped.
            if (!entry.empty() && entry.front() == '/') {
                folder = std::string(entry);
                break;
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder + "/autostart/";
}

std::string AutoStartEntryPath()
{
    return AutoStartFolder() + kEntryFileName;
}

std::string AutoStartEntryText(const std::string& programPath)
{
    return std::string("[Desktop Entry]\n")
        + "Type=Application\n"
        + "Name=" + kEntryName + "\n"
        + "Exec=" + DesktopEntryExec(programPath) + "\n"
        + "Terminal=false\n"
        + "X-GNOME-Autostart-enabled=true\n";
}

std::string RunningProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<std::size_t>(n));
    // A program file replaced while it runs (by an update) is still the one to start.
    if (path.size() > kDeletedSuffix.size() && path.ends_with(kDeletedSuffix)) {
        path.resize(path.size() - kDeletedSuffix.size());
    }
    return path;
}

void WriteAutoStartEntry(const std::string& programPath)
{
    try {
        if (programPath.empty()) {
            return;
        }
        const std::string folder = AutoStartFolder();
        EnsureFolder(folder.substr(0, folder.size() - 1));
        WriteFileAtomically(folder + kEntryFileName, AutoStartEntryText(programPath));
    } catch (...) {
        // No right to write the system-wide folder, a full disk...: silently no entry.
    }
}

void EnableAutoStart()
{
    WriteAutoStartEntry(RunningProgramPath());
}

void DisableAutoStart()
{
    try {
        unlink(AutoStartEntryPath().c_str());
    } catch (...) {
        // Removing is best effort, like writing.
    }
}

} // namespace palvina
