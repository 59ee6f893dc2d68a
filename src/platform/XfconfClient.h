#pragma once

#include <optional>
#include <string>
#include <vector>

struct _GDBusConnection;
struct _GVariant;

namespace palvina {

// Xfce's settings store, xfconfd, spoken to over the session bus (org.xfce.Xfconf). Each client
// has a private bus connection of its own, so a bus that goes away cannot end the process.
// Every call throws std::runtime_error when the bus or xfconfd does not answer.
class XfconfClient {
public:
    XfconfClient();
    ~XfconfClient();
    XfconfClient(const XfconfClient&) = delete;
    XfconfClient& operator=(const XfconfClient&) = delete;

    // The names of the channel's properties under `base` ("/backdrop"); none when the channel
    // or the base does not exist yet.
    std::vector<std::string> propertyNames(const std::string& channel, const std::string& base);

    // The value, or nullopt when the property does not exist or holds another type.
    std::optional<std::string> getString(const std::string& channel, const std::string& property);
    std::optional<long long> getInt(const std::string& channel, const std::string& property);

    // Creates the property when it does not exist yet.
    void setString(const std::string& channel, const std::string& property, const std::string& value);
    void setInt(const std::string& channel, const std::string& property, int value);

private:
    // The call's reply (owned by the caller), or nullptr when xfconfd answers that the property
    // or channel does not exist.
    _GVariant* call(const char* method, _GVariant* parameters, const char* replyType);

    _GDBusConnection* connection_ = nullptr;
};

} // namespace palvina
