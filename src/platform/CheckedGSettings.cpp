#include "platform/CheckedGSettings.h"

#include <gio/gio.h>

#include <stdexcept>

namespace palvina {

CheckedGSettings::CheckedGSettings(const std::string& schemaId)
    : schemaId_(schemaId)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source) {
        schema_ = g_settings_schema_source_lookup(source, schemaId.c_str(), TRUE);
    }
    if (!schema_) {
        throw std::runtime_error("the settings schema " + schemaId + " is not installed");
    }
    // A relocatable schema has no place of its own; GIO would end the process without one.
    if (!g_settings_schema_get_path(schema_)) {
        g_settings_schema_unref(schema_);
        throw std::runtime_error("the settings schema " + schemaId + " has no fixed path");
    }
    settings_ = g_settings_new_full(schema_, nullptr, nullptr);
}

CheckedGSettings::~CheckedGSettings()
{
    g_object_unref(settings_);
    g_settings_schema_unref(schema_);
}

bool CheckedGSettings::hasKey(const std::string& key, const char* type) const
{
    if (!g_settings_schema_has_key(schema_, key.c_str())) {
        return false;
    }
    if (!type) {
        return true;
    }
    GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(schema_, key.c_str());
    const bool typeMatches = g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey),
                                                  G_VARIANT_TYPE(type));
    g_settings_schema_key_unref(schemaKey);
    return typeMatches;
}

void CheckedGSettings::requireKey(const std::string& key, const char* type) const
{
    if (!hasKey(key, type)) {
        throw std::runtime_error("the settings schema " + schemaId_ + " has no key " + key + " of type "
                                 + (type ? type : "any"));
    }
}

std::string CheckedGSettings::getString(const std::string& key) const
{
    requireKey(key, "s");
    gchar* value = g_settings_get_string(settings_, key.c_str());
    std::string result = value ? value : "";
    g_free(value);
    return result;
}

bool CheckedGSettings::getBool(const std::string& key) const
{
    requireKey(key, "b");
    return g_settings_get_boolean(settings_, key.c_str()) != FALSE;
}

bool CheckedGSettings::acceptsString(const std::string& key, const std::string& value) const
{
    if (!hasKey(key, "s") || !g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr)) {
        return false;
    }
    GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(schema_, key.c_str());
    GVariant* variant = g_variant_ref_sink(g_variant_new_string(value.c_str()));
    const bool allowed = g_settings_schema_key_range_check(schemaKey, variant);
    g_variant_unref(variant);
    g_settings_schema_key_unref(schemaKey);
    return allowed;
}

void CheckedGSettings::setString(const std::string& key, const std::string& value)
{
    requireKey(key, "s");
    if (!acceptsString(key, value)) {
        throw std::runtime_error("the value " + value + " is not one " + schemaId_ + " " + key + " takes");
    }
    if (!g_settings_set_string(settings_, key.c_str(), value.c_str())) {
        throw std::runtime_error(schemaId_ + " " + key + " cannot be written");
    }
}

void CheckedGSettings::setBool(const std::string& key, bool value)
{
    requireKey(key, "b");
    if (!g_settings_set_boolean(settings_, key.c_str(), value ? TRUE : FALSE)) {
        throw std::runtime_error(schemaId_ + " " + key + " cannot be written");
    }
}

void CheckedGSettings::delay()
{
    g_settings_delay(settings_);
}

void CheckedGSettings::apply()
{
    g_settings_apply(settings_);
    g_settings_sync();
}

} // namespace palvina
