#include "files/AppSettings.h"

#include "files/AppDir.h"
#include "files/IniFile.h"

namespace palvina {

namespace {

std::string SettingsFile()
{
    return GetAppDir() + "config.ini";
}

} // namespace

std::string ReadAppSetting(std::string_view section, std::string_view key)
{
    return ReadIniValue(section, key, SettingsFile());
}

void WriteAppSetting(std::string_view section, std::string_view key, std::string_view value)
{
    WriteIniValue(section, key, value, SettingsFile());
}

} // namespace palvina
