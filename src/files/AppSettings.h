#pragma once

#include <string>
#include <string_view>

namespace palvina {

// The settings file: GetAppDir() + "config.ini", through ReadIniValue / WriteIniValue.
std::string ReadAppSetting(std::string_view section, std::string_view key);
void WriteAppSetting(std::string_view section, std::string_view key, std::string_view value);

} // namespace palvina
