#pragma once

#include <string>

namespace palvina {

// The player's single-instance name.
inline constexpr char kPlayerMutexName[] = "{F1128D9B-4534-4FC9-AF38-6E238E00EBD2}";

// Claims the name for this process: an exclusive, non-blocking lock on the file
// "<name>.lock" in $XDG_RUNTIME_DIR (or /tmp when that is not set), held until the process
// ends. Returns false when another process holds it. A process that dies, even killed, lets
// go at once (the kernel drops its lock). Claiming a name this process already holds returns
// true. A lock file that belongs to another user is left alone: a name of our own
// ("<name>-<uid>.lock") is used instead, so one user cannot block another. When no lock can be
// taken at all (no such folder, read-only, no locking on the file system) the answer is true:
// an unusable guard must not keep the program from starting.
bool AcquireSingleInstance(const std::string& mutexName);

// The same in the given folder.
bool AcquireSingleInstanceIn(const std::string& folder, const std::string& mutexName);

} // namespace palvina
