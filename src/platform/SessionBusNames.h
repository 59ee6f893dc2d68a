#pragma once

#include <string>
#include <vector>

namespace palvina {

// The names now owned on the session bus (well-known and unique). Empty when there is no
// session bus or it does not answer within a second. Never starts a bus of its own.
std::vector<std::string> ListSessionBusNames();

} // namespace palvina
