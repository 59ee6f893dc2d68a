#pragma once

#include <string>

namespace palvina {

// What installing the saver program came to.
enum class SaverInstallResult {
    Xscreensaver,     // xscreensaver runs it as its one saver
    MateScreensaver,  // the MATE screen saver runs it as its single theme
    NoSlot,           // this desktop's screen saver takes no outside programs (also: the MATE
                      // screen saver, when the program cannot be linked into its saver folders)
    Failed,           // there is a place for it, but its settings could not be written
};

// The notices the caller shows for NoSlot and Failed (success shows nothing).
inline constexpr char kNoSaverSlotNotice[] = "当前桌面不支持外部屏幕保护程序，无法设置。";
inline constexpr char kSaverInstallFailedNotice[] = "无法写入屏幕保护程序的设置，设置没有完成。";

// Registers the saver program with the screen saver of the session (ChooseSaverHost).
SaverInstallResult InstallScreenSaver(const std::string& saverProgramPath);

// The saver program the player installs: program folder + "Noctilux".
std::string SaverProgramPath();

// What decides where the saver goes.
struct SaverHostFacts {
    std::string currentDesktop;        // $XDG_CURRENT_DESKTOP
    bool xscreensaverRunning = false;  // its window is on the X display
    bool xscreensaverInstalled = false;  // "xscreensaver" on PATH, or ~/.xscreensaver exists
    bool mateSaverRunning = false;     // org.mate.ScreenSaver on the session bus
    bool mateSchemaPresent = false;    // MateSaverSchemaPresent()
    bool xfceSaverInstalled = false;   // "xfce4-screensaver" on PATH
};

enum class SaverHost { Xscreensaver, Mate, NoSlot };

// A running xscreensaver is the one that blanks the screen. Otherwise the MATE screen saver
// when its settings are installed and it runs or the desktop is MATE. Otherwise an installed
// xscreensaver, unless the desktop brings a screen saver of its own that takes no outside
// programs: GNOME (also Unity, Budgie, Pantheon), Cinnamon, KDE, Deepin, and XFCE with
// xfce4-screensaver; bare window managers, LXDE and LXQt use xscreensaver. Else none.
SaverHost ChooseSaverHost(const SaverHostFacts& facts);

// The facts of this session.
SaverHostFacts GatherSaverHostFacts();

} // namespace palvina
