#pragma once

#include <string>
#include <string_view>

namespace palvina {

// The program folder: the folder of the running executable, with a trailing '/'. Every file
// of the system lies in it or below it.
std::string GetAppDir();

// The path unchanged when it already ends in '/', else with '/' appended.
std::string WithTrailingBackslash(std::string_view path);

// Test use only: makes GetAppDir() return `path` (passed through WithTrailingBackslash) so a
// test can work in a folder of its own; an empty path restores the executable's folder.
void SetAppDirForTesting(const std::string& path);

} // namespace palvina
