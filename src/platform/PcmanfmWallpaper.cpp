#include "platform/PcmanfmWallpaper.h"

#include "files/AsciiCase.h"
#include "platform/ChildProgram.h"
#include "platform/WallpaperBackends.h"
#include "platform/XDisplay.h"
#include "platform/XErrorTrap.h"
#include "platform/XWindowQueries.h"

#include <QtCore/QSettings>
#include <QtCore/QString>

#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace palvina {

namespace {

constexpr auto kRunTimeout = std::chrono::seconds(5);

struct ModeName {
    WallpaperMode mode;
    const char* name;
};

constexpr ModeName kModeNames[] = {
    {WallpaperMode::None, "color"},      {WallpaperMode::Tiled, "tile"}, {WallpaperMode::Centred, "center"},
    {WallpaperMode::Stretched, "stretch"}, {WallpaperMode::Fit, "fit"},  {WallpaperMode::Fill, "crop"},
    {WallpaperMode::Fill, "zoom"},       {WallpaperMode::Span, "screen"},
};

std::string ConfigHome()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return std::string(home) + "/.config";
    }
    const passwd* entry = getpwuid(getuid());
    return std::string(entry && entry->pw_dir ? entry->pw_dir : "") + "/.config";
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The command lines of this user's processes that run `program` as the desktop.
std::vector<std::vector<std::string>> DesktopInstanceCommandLines(const std::string& program)
{
    std::vector<std::vector<std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        struct stat info {};
        if (stat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
            continue;
        }
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> arguments;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\0', start);
            if (end == std::string::npos) {
                end = bytes.size();
            }
            arguments.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        if (arguments.empty() || BaseName(arguments[0]) != program) {
            continue;
        }
        for (const std::string& argument : arguments) {
            if (argument == "--desktop") {
                found.push_back(std::move(arguments));
                break;
            }
        }
    }
    return found;
}

// Whether the program's desktop window is on the display (mapped or not).
bool DesktopWindowPresent(const std::string& program)
{
    XDisplay connection;
    if (!connection.isOpen()) {
        throw std::runtime_error("no X display");
    }
    XErrorTrap trap(connection.get());
    for (unsigned long window : FindDesktopTypeWindows(connection.get())) {
        const WindowClass windowClass = ReadWindowClass(connection.get(), window);
        if (SameIgnoringAsciiCase(windowClass.instance, program) || SameIgnoringAsciiCase(windowClass.className, program)) {
            return true;
        }
    }
    return false;
}

WallpaperSettings ResultFor(std::string path, WallpaperMode mode)
{
    WallpaperSettings result;
    if (mode != WallpaperMode::None) {
        result.path = std::move(path);
    }
    WindowsValuesFromMode(result.path.empty() ? WallpaperMode::None : mode, result.tile, result.style);
    return result;
}

// pcmanfm's desktop-items-0.conf: a GLib key file, the values in group "*".
WallpaperSettings ReadKeyFileSettings(const std::string& file)
{
    GKeyFile* keys = g_key_file_new();
    GError* error = nullptr;
    if (!g_key_file_load_from_file(keys, file.c_str(), G_KEY_FILE_NONE, &error)) {
        const std::string message = error ? error->message : "unreadable";
        g_clear_error(&error);
        g_key_file_free(keys);
        throw std::runtime_error("cannot read " + file + ": " + message);
    }
    auto text = [&](const char* key) {
        gchar* value = g_key_file_get_string(keys, "*", key, nullptr);
        std::string result = value ? value : "";
        g_free(value);
        return result;
    };
    const std::string path = text("wallpaper");
    const std::string mode = text("wallpaper_mode");
    g_key_file_free(keys);
    return ResultFor(path, ModeFromPcmanfmName(mode));
}

// pcmanfm-qt's settings.conf: Qt's INI form, the values in group [Desktop].
WallpaperSettings ReadQtSettings(const std::string& file)
{
    QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        throw std::runtime_error("cannot read " + file);
    }
    settings.beginGroup(QStringLiteral("Desktop"));
    const std::string path = settings.value(QStringLiteral("Wallpaper")).toString().toStdString();
    const std::string mode = settings.value(QStringLiteral("WallpaperMode")).toString().toStdString();
    return ResultFor(path, ModeFromPcmanfmName(mode));
}

} // namespace

const char* PcmanfmModeName(WallpaperMode mode, bool qt)
{
    if (qt && mode == WallpaperMode::Fill) {
        return "zoom";
    }
    if (qt && mode == WallpaperMode::Span) {
        return "stretch";
    }
    for (const ModeName& entry : kModeNames) {
        if (entry.mode == mode) {
            return entry.name;
        }
    }
    return "stretch";
}

WallpaperMode ModeFromPcmanfmName(const std::string& name)
{
    for (const ModeName& entry : kModeNames) {
        if (name == entry.name) {
            return entry.mode;
        }
    }
    return WallpaperMode::Stretched;
}

std::vector<std::string> PcmanfmWallpaperArguments(const PcmanfmFlavour& flavour, const WallpaperSettings& settings)
{
    std::vector<std::string> arguments{flavour.program};
    if (settings.path.empty()) {
        arguments.push_back(std::string("--wallpaper-mode=") + PcmanfmModeName(WallpaperMode::None, flavour.qtSettings));
        return arguments;
    }
    const WallpaperMode mode = ModeFromWindowsValues(settings.tile, settings.style);
    arguments.push_back("--set-wallpaper=" + settings.path);
    arguments.push_back(std::string("--wallpaper-mode=") + PcmanfmModeName(mode, flavour.qtSettings));
    return arguments;
}

std::string ProfileFromCommandLine(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            break;
        }
        if ((argument == "--profile" || argument == "-p") && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (argument.rfind("--profile=", 0) == 0) {
            return argument.substr(10);
        }
        if (argument.size() > 2 && argument.rfind("-p", 0) == 0 && argument[2] != '-') {
            return argument.substr(2);
        }
    }
    return "";
}

PcmanfmWallpaper::PcmanfmWallpaper(PcmanfmFlavour flavour)
    : flavour_(std::move(flavour))
{
}

void PcmanfmWallpaper::apply(const WallpaperSettings& settings)
{
    if (!DesktopWindowPresent(flavour_.program)) {
        throw std::runtime_error(std::string(flavour_.program) + " does not draw the desktop");
    }
    const int status = RunProgram(PcmanfmWallpaperArguments(flavour_, settings), kRunTimeout);
    if (status != 0) {
        throw std::runtime_error(std::string(flavour_.program) + " refused the wallpaper");
    }
}

std::string PcmanfmWallpaper::settingsPath() const
{
    const std::string folder = ConfigHome() + "/" + flavour_.configFolder + "/";
    std::vector<std::string> profiles;
    for (const auto& arguments : DesktopInstanceCommandLines(flavour_.program)) {
        const std::string profile = ProfileFromCommandLine(arguments);
        profiles.push_back(profile.empty() ? "default" : profile);
    }
    profiles.insert(profiles.end(), flavour_.defaultProfiles.begin(), flavour_.defaultProfiles.end());
    std::error_code ignored;
    for (const std::string& profile : profiles) {
        const std::string file = folder + profile + "/" + flavour_.settingsFile;
        if (profile.find('/') == std::string::npos && std::filesystem::exists(file, ignored)) {
            return file;
        }
    }
    return "";
}

WallpaperSettings PcmanfmWallpaper::read()
{
    const std::string file = settingsPath();
    if (file.empty()) {
        throw std::runtime_error(std::string("no settings file of ") + flavour_.program);
    }
    return flavour_.qtSettings ? ReadQtSettings(file) : ReadKeyFileSettings(file);
}

PcmanfmFlavour LxdeFlavour()
{
    return {"lxde", "pcmanfm", "pcmanfm", "desktop-items-0.conf", {"LXDE", "default"}, false};
}

PcmanfmFlavour LxqtFlavour()
{
    return {"lxqt", "pcmanfm-qt", "pcmanfm-qt", "settings.conf", {"lxqt", "default"}, true};
}

std::unique_ptr<WallpaperBackend> MakeLxdeWallpaper()
{
    return std::make_unique<PcmanfmWallpaper>(LxdeFlavour());
}

std::unique_ptr<WallpaperBackend> MakeLxqtWallpaper()
{
    return std::make_unique<PcmanfmWallpaper>(LxqtFlavour());
}

} // namespace palvina
