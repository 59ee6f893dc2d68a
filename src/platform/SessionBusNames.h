#pragma once

#include <string>
#include <vector>

struct _GDBusConnection;

namespace palvina {

// A private connection to the session bus (the shared one would end the process when the bus
// goes away), or nullptr when no session bus is known or it cannot be reached; `why` then
// says so. Never starts a bus of its own. Close with CloseSessionBus.
_GDBusConnection* OpenPrivateSessionBus(std::string* why = nullptr);
void CloseSessionBus(_GDBusConnection* connection);

// The names now owned on the session bus (well-known and unique). Empty when there is no
// session bus or it does not answer within a second. Never starts a bus of its own.
std::vector<std::string> ListSessionBusNames();

} // namespace palvina
