#pragma once

#include <string>

struct _GSettings;
struct _GSettingsSchema;

namespace palvina {

// A GSettings object made only after its schema was found among the installed ones, with
// reads and writes that check the key (and its type) first. GIO itself ends the process on an
// unknown schema or key; here those are errors (std::runtime_error) the caller can handle.
class CheckedGSettings {
public:
    // Throws when the schema is not installed.
    explicit CheckedGSettings(const std::string& schemaId);
    ~CheckedGSettings();
    CheckedGSettings(const CheckedGSettings&) = delete;
    CheckedGSettings& operator=(const CheckedGSettings&) = delete;

    // Whether the schema has the key with this GVariant type ("s", "b").
    bool hasKey(const std::string& key, const char* type = nullptr) const;

    // Whether the string key takes this value (an enum key takes only its choices).
    bool acceptsString(const std::string& key, const std::string& value) const;

    // Throw when the key is missing or of another type; a string outside the key's choices
    // (an enum key) is refused before anything is written.
    std::string getString(const std::string& key) const;
    bool getBool(const std::string& key) const;
    void setString(const std::string& key, const std::string& value);
    void setBool(const std::string& key, bool value);

    // Writes are gathered until apply(), which hands them to the settings store at once and
    // waits until they are stored.
    void delay();
    void apply();

private:
    void requireKey(const std::string& key, const char* type) const;

    std::string schemaId_;
    _GSettingsSchema* schema_ = nullptr;
    _GSettings* settings_ = nullptr;
};

} // namespace palvina
