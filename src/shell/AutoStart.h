#pragma once

#include <string>

namespace palvina {

// The start-up entry that runs the player when a session starts: a desktop entry file named
// "kestova.desktop" in the system-wide autostart folder. Both routines swallow every error (a
// user without the right to write there keeps the menu tick but gets no entry).

// Writes the entry for the running program file. Writing it again replaces it.
void EnableAutoStart();

// Removes the entry; nothing happens when there is none.
void DisableAutoStart();

// Writes the entry for the program file at `programPath` (EnableAutoStart uses the running
// executable). Errors are swallowed.
void WriteAutoStartEntry(const std::string& programPath);

// The system-wide autostart folder, with a trailing '/': the first absolute folder listed in
// $XDG_CONFIG_DIRS (default /etc/xdg) + "/autostart/".
std::string AutoStartFolder();

// The entry's full path: AutoStartFolder() + "kestova.desktop".
std::string AutoStartEntryPath();

// The entry's text for the program file at `programPath`.
std::string AutoStartEntryText(const std::string& programPath);

// The path of the running executable; empty when it cannot be found.
std::string RunningProgramPath();

} // namespace palvina
