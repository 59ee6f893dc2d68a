#pragma once

#include <string>

namespace palvina::test {

// Every GSettings test of this program shares one settings store: GIO picks its backend and
// schema folders once per process. A global test environment (GSettingsTestSupport.cpp) makes
// that store the "keyfile" backend in a temporary XDG_CONFIG_HOME before any test runs, and adds
// a compiled folder with a stand-in org.nemo.desktop schema (Nemo is not installed here).

// Set in a test program started to check a system without the desktops' schemas: the program
// then leaves GIO's schema folders as its starter chose them.
inline constexpr const char* kWithoutSchemasVariable = "PALVINA_TEST_WITHOUT_DESKTOP_SCHEMAS";
bool RunningWithoutDesktopSchemas();

// The key file the settings are stored in.
std::string SettingsKeyFilePath();

// A value as the key file holds it (GVariant text, e.g. "'wallpaper'"), empty when missing.
std::string KeyFileValue(const std::string& group, const std::string& key);

// Whether the stand-in Nemo schema could be compiled (glib-compile-schemas is installed).
bool NemoStandInSchemaAvailable();

// Compiles a folder that holds only an unrelated schema, for a process that must see none of
// the desktops' schemas; empty when glib-compile-schemas is missing.
std::string CompileUnrelatedSchemaFolder(const std::string& folder);

} // namespace palvina::test
