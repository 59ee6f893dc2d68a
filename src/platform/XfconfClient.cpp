#include "platform/XfconfClient.h"

#include "platform/SessionBusNames.h"

#include <gio/gio.h>

#include <stdexcept>

namespace palvina {

namespace {

constexpr int kCallTimeoutMs = 3000;
constexpr const char* kService = "org.xfce.Xfconf";
constexpr const char* kObject = "/org/xfce/Xfconf";
constexpr const char* kInterface = "org.xfce.Xfconf";

// xfconfd's answers for a channel or property that does not exist.
bool IsNotFoundError(const GError* error)
{
    if (!error || !g_dbus_error_is_remote_error(error)) {
        return false;
    }
    gchar* name = g_dbus_error_get_remote_error(error);
    const std::string remote = name ? name : "";
    g_free(name);
    return remote == "org.xfce.Xfconf.Error.PropertyNotFound" || remote == "org.xfce.Xfconf.Error.ChannelNotFound";
}

[[noreturn]] void ThrowFrom(GError* error, const std::string& what)
{
    const std::string message = what + ": " + (error ? error->message : "no answer");
    g_clear_error(&error);
    throw std::runtime_error(message);
}

} // namespace

XfconfClient::XfconfClient()
{
    std::string why;
    connection_ = OpenPrivateSessionBus(&why);
    if (!connection_) {
        throw std::runtime_error("cannot reach xfconfd: " + why);
    }
}

XfconfClient::~XfconfClient()
{
    CloseSessionBus(connection_);
}

GVariant* XfconfClient::call(const char* method, GVariant* parameters, const char* replyType)
{
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(connection_, kService, kObject, kInterface, method, parameters,
                                                  replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
    if (reply) {
        return reply;
    }
    if (IsNotFoundError(error)) {
        g_clear_error(&error);
        return nullptr;
    }
    ThrowFrom(error, std::string("xfconfd did not answer ") + method);
}

std::vector<std::string> XfconfClient::propertyNames(const std::string& channel, const std::string& base)
{
    std::vector<std::string> names;
    GVariant* reply = call("GetAllProperties", g_variant_new("(ss)", channel.c_str(), base.c_str()), "(a{sv})");
    if (!reply) {
        return names;
    }
    GVariantIter* iter = nullptr;
    g_variant_get(reply, "(a{sv})", &iter);
    const gchar* name = nullptr;
    GVariant* value = nullptr;
    while (g_variant_iter_next(iter, "{&sv}", &name, &value)) {
        names.emplace_back(name);
        g_variant_unref(value);
    }
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return names;
}

std::optional<std::string> XfconfClient::getString(const std::string& channel, const std::string& property)
{
    GVariant* reply = call("GetProperty", g_variant_new("(ss)", channel.c_str(), property.c_str()), "(v)");
    if (!reply) {
        return std::nullopt;
    }
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    std::optional<std::string> result;
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        result = g_variant_get_string(value, nullptr);
    }
    g_variant_unref(value);
    g_variant_unref(reply);
    return result;
}

std::optional<long long> XfconfClient::getInt(const std::string& channel, const std::string& property)
{
    GVariant* reply = call("GetProperty", g_variant_new("(ss)", channel.c_str(), property.c_str()), "(v)");
    if (!reply) {
        return std::nullopt;
    }
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    std::optional<long long> result;
    const GVariantType* type = g_variant_get_type(value);
    if (g_variant_type_equal(type, G_VARIANT_TYPE_INT32)) {
        result = g_variant_get_int32(value);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_UINT32)) {
        result = g_variant_get_uint32(value);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_INT64)) {
        result = g_variant_get_int64(value);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_INT16)) {
        result = g_variant_get_int16(value);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_UINT16)) {
        result = g_variant_get_uint16(value);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_BYTE)) {
        result = g_variant_get_byte(value);
    }
    g_variant_unref(value);
    g_variant_unref(reply);
    return result;
}

void XfconfClient::setString(const std::string& channel, const std::string& property, const std::string& value)
{
    if (!g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr)) {
        throw std::runtime_error("the value for " + property + " is not UTF-8 text");
    }
    GVariant* reply = call("SetProperty",
                           g_variant_new("(ssv)", channel.c_str(), property.c_str(), g_variant_new_string(value.c_str())),
                           nullptr);
    if (!reply) {
        throw std::runtime_error("xfconfd refused " + property);
    }
    g_variant_unref(reply);
}

void XfconfClient::setInt(const std::string& channel, const std::string& property, int value)
{
    GVariant* reply = call("SetProperty",
                           g_variant_new("(ssv)", channel.c_str(), property.c_str(), g_variant_new_int32(value)),
                           nullptr);
    if (!reply) {
        throw std::runtime_error("xfconfd refused " + property);
    }
    g_variant_unref(reply);
}

} // namespace palvina
