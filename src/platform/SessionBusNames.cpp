#include "platform/SessionBusNames.h"

#include <gio/gio.h>

#include <cstdlib>
#include <filesystem>

namespace palvina {

namespace {

constexpr int kCallTimeoutMs = 1000;

// The bus address only where one is known: GIO would otherwise try to launch a bus.
bool SessionBusKnown()
{
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    return runtime && *runtime && std::filesystem::exists(std::string(runtime) + "/bus", ignored);
}

} // namespace

GDBusConnection* OpenPrivateSessionBus(std::string* why)
{
    const auto fail = [why](const std::string& text, GError* error) -> GDBusConnection* {
        if (why) {
            *why = text + (error ? std::string(": ") + error->message : std::string());
        }
        g_clear_error(&error);
        return nullptr;
    };
    if (!SessionBusKnown()) {
        return fail("no session bus is known", nullptr);
    }
    GError* error = nullptr;
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!address) {
        return fail("no session bus", error);
    }
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
                                          | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    g_free(address);
    if (!connection) {
        return fail("cannot connect to the session bus", error);
    }
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    return connection;
}

void CloseSessionBus(GDBusConnection* connection)
{
    if (connection) {
        g_dbus_connection_close_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
    }
}

std::vector<std::string> ListSessionBusNames()
{
    std::vector<std::string> names;
    GDBusConnection* connection = OpenPrivateSessionBus();
    if (!connection) {
        return names;
    }
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "ListNames", nullptr, G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
        nullptr, &error);
    if (reply) {
        GVariantIter* iter = nullptr;
        g_variant_get(reply, "(as)", &iter);
        const gchar* name = nullptr;
        while (g_variant_iter_next(iter, "&s", &name)) {
            names.emplace_back(name);
        }
        g_variant_iter_free(iter);
        g_variant_unref(reply);
    }
    g_clear_error(&error);
    CloseSessionBus(connection);
    return names;
}

} // namespace palvina
