#pragma once

#include <string>

namespace palvina {

// The line of xscreensaver's programs list that runs the saver program at `saverPath` on the
// window xscreensaver gives it: the path quoted for /bin/sh, then "--root".
std::string XscreensaverHackLine(const std::string& saverPath);

// xscreensaver's settings text (the ~/.xscreensaver file) with `hackLine` made the one saver
// that runs: the entry is added to the "programs:" list, or replaces the entry that runs a
// program of the same file name (also a disabled one, and also from another folder), so that
// the list holds it once; "mode:" becomes "one" and "selected:" its 0-based place in the list,
// disabled entries counted. Both keys are added when missing; a text without a programs list
// gets one. Every other line is kept as it is.
std::string EditXscreensaverConfig(const std::string& text, const std::string& hackLine);

// The "*programs:" list of xscreensaver's system-wide defaults (the app-defaults file) as a
// settings text with the single key "programs:"; empty when the text has no such list.
std::string XscreensaverProgramsFromDefaults(const std::string& appDefaultsText);

// Makes the saver program xscreensaver's one saver in the settings file at `configPath`. A
// missing file is started from the programs list of the system defaults at `appDefaultsPath`
// (when readable), so that the user keeps the other savers to choose from. The file is
// replaced atomically. Returns false when it could not be read or written.
bool InstallXscreensaverEntry(const std::string& configPath, const std::string& appDefaultsPath,
                              const std::string& saverPath);

} // namespace palvina
