#pragma once

#include "platform/WallpaperBackend.h"
#include "platform/WallpaperMode.h"

#include <string>
#include <vector>

namespace palvina {

// The file managers that draw the LXDE and LXQt desktops: pcmanfm and pcmanfm-qt. The
// wallpaper is set by running the program with --set-wallpaper and --wallpaper-mode (it hands
// them to the desktop instance already running) and read back from the settings file of the
// running instance's profile. Both reload a picture applied again under the same path.
struct PcmanfmFlavour {
    const char* name;                        // the backend's short name
    const char* program;                     // "pcmanfm"
    const char* configFolder;                // under $XDG_CONFIG_HOME: "pcmanfm"
    const char* settingsFile;                // in the profile's folder: "desktop-items-0.conf"
    std::vector<std::string> defaultProfiles;  // tried in order when no running instance names one
    bool qtSettings;                         // settings.conf of pcmanfm-qt, else pcmanfm's key file
};

class PcmanfmWallpaper : public WallpaperBackend {
public:
    explicit PcmanfmWallpaper(PcmanfmFlavour flavour);

    // Throws when the program's desktop is not running: the program would otherwise start a
    // new instance of its own that does not draw the desktop and never ends.
    void apply(const WallpaperSettings& settings) override;
    // Throws when no settings file is found.
    WallpaperSettings read() override;
    const char* name() const override { return flavour_.name; }

    // The settings file read() uses.
    std::string settingsPath() const;

private:
    PcmanfmFlavour flavour_;
};

PcmanfmFlavour LxdeFlavour();
PcmanfmFlavour LxqtFlavour();

// --wallpaper-mode values. pcmanfm: color (no picture), tile, center, stretch, fit, crop
// (fill), screen (span). pcmanfm-qt: color, tile, center, stretch, fit, zoom (fill); it has no
// span and stretches instead. Unknown texts read as stretch.
const char* PcmanfmModeName(WallpaperMode mode, bool qt);
WallpaperMode ModeFromPcmanfmName(const std::string& name);

// The arguments that set the wallpaper (arguments[0] is the program).
std::vector<std::string> PcmanfmWallpaperArguments(const PcmanfmFlavour& flavour, const WallpaperSettings& settings);

// The profile a command line names with -p/--profile (either "--profile NAME",
// "--profile=NAME", "-p NAME" or "-pNAME"); empty when it names none.
std::string ProfileFromCommandLine(const std::vector<std::string>& arguments);

} // namespace palvina
