#include "GSettingsTestSupport.h"

#include "ProcessSupport.h"

#include "platform/WallpaperBackend.h"
#include "platform/WallpaperBackends.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace palvina::test {

namespace {

std::string& ConfigHome()
{
    static std::string folder;
    return folder;
}

bool& NemoSchemaCompiled()
{
    static bool compiled = false;
    return compiled;
}

bool CompileSchemas(const std::string& folder, const std::string& fileName, const std::string& xml)
{
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/" + fileName) << xml;
    if (!ProgramAvailable("glib-compile-schemas")) {
        return false;
    }
    return RunProgramForOutput({"glib-compile-schemas", folder}).status == 0
           && std::filesystem::exists(folder + "/gschemas.compiled");
}

class KeyFileSettingsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = "/tmp/palvina-gsettings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        ConfigHome() = pattern;
        setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
        setenv("GSETTINGS_BACKEND", "keyfile", 1);
        if (RunningWithoutDesktopSchemas()) {
            return;  // the schema folders were chosen by the test that started this process
        }
        const std::string schemas = pattern + "/schemas";
        NemoSchemaCompiled() = CompileSchemas(schemas, "org.nemo.desktop.gschema.xml",
                                              "<schemalist>\n"
                                              "  <schema id=\"org.nemo.desktop\" path=\"/org/nemo/desktop/\">\n"
                                              "    <key name=\"desktop-layout\" type=\"s\">\n"
                                              "      <default>'true::false'</default>\n"
                                              "    </key>\n"
                                              "  </schema>\n"
                                              "</schemalist>\n");
        if (NemoSchemaCompiled()) {
            setenv("GSETTINGS_SCHEMA_DIR", schemas.c_str(), 1);
        }
        // GIO settles its store and schema folders on first use: use it now, before any test
        // points XDG_CONFIG_HOME elsewhere for files of its own.
        try {
            MakeGnomeWallpaper()->read();
        } catch (...) {
        }
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(ConfigHome(), ignored);
    }
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new KeyFileSettingsEnvironment);

} // namespace

bool RunningWithoutDesktopSchemas()
{
    return std::getenv(kWithoutSchemasVariable) != nullptr;
}

std::string SettingsKeyFilePath()
{
    return ConfigHome() + "/config/glib-2.0/settings/keyfile";
}

std::string KeyFileValue(const std::string& group, const std::string& key)
{
    // The key file is "[group]" lines and "key=value" lines; the backend stores each value as
    // GVariant text without further escaping.
    std::ifstream in(SettingsKeyFilePath());
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[" + group + "]";
        } else if (inGroup && line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

bool NemoStandInSchemaAvailable()
{
    return NemoSchemaCompiled();
}

std::string CompileUnrelatedSchemaFolder(const std::string& folder)
{
    const bool compiled = CompileSchemas(folder, "org.palvina.unrelated.gschema.xml",
                                         "<schemalist>\n"
                                         "  <schema id=\"org.palvina.unrelated\" path=\"/org/palvina/unrelated/\">\n"
                                         "    <key name=\"anything\" type=\"b\"><default>false</default></key>\n"
                                         "  </schema>\n"
                                         "</schemalist>\n");
    return compiled ? folder : std::string();
}

} // namespace palvina::test
