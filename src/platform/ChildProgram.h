#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace palvina {

// Runs a program found on PATH with the given arguments (arguments[0] is the program), without
// a shell, its output discarded, and waits for it at most `timeout`. Returns its exit status.
// Throws std::runtime_error when it cannot be started, is killed by a signal, or has not ended
// in time (it is then killed and reaped, so nothing is left behind).
int RunProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout);

} // namespace palvina
