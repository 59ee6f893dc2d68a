#pragma once

#include <string>
#include <vector>

namespace palvina {

enum class SaverInstallResult;

// The MATE screen saver finds its themes as desktop entries of the category "Screensaver"
// under applications/screensavers/ of the data folders; a theme's name is its desktop file
// id without ".desktop" ("screensavers-" + file name). It runs a theme's program only when
// the program lies in one of its saver folders, so the saver is reached there through a link.
inline constexpr char kMateThemeFileName[] = "kestova-noctilux.desktop";
inline constexpr char kMateThemeId[] = "screensavers-kestova-noctilux";
inline constexpr char kMateSaverLinkName[] = "kestova-noctilux";

// The folders whose programs the MATE screen saver runs as themes.
std::vector<std::string> MateSaverProgramFolders();

// The path under which the MATE screen saver can run the saver program: the program's own
// path when it lies in one of `folders`; else a link named "kestova-noctilux" in one of them
// that leads to the program, made (or renewed when it leads elsewhere) when the folder can be
// written. Empty when there is none and none can be made.
std::string MateRunnableSaverPath(const std::string& saverPath, const std::vector<std::string>& folders);

// The theme's desktop entry that runs the program at `runnablePath`.
std::string MateSaverThemeText(const std::string& runnablePath);

// True when the settings schema org.mate.screensaver with its keys "mode" and "themes" is
// installed.
bool MateSaverSchemaPresent();

// Makes the saver program the MATE screen saver's single theme: writes the theme entry into
// `dataHome` + "/applications/screensavers/" and sets org.mate.screensaver mode "single" and
// themes [id]. NoSlot when the program cannot be made runnable for it (MateRunnableSaverPath
// over `folders`), Failed when the entry or the settings could not be written.
SaverInstallResult InstallMateSaverTheme(const std::string& dataHome, const std::string& saverPath,
                                         const std::vector<std::string>& folders);

} // namespace palvina
