#pragma once

#include <string>
#include <string_view>

namespace palvina {

// The text with A-Z lower-cased and every other byte kept, so multi-byte characters pass through.
std::string AsciiLower(std::string_view text);

// Whether two texts are equal when A-Z and a-z are taken as the same letters.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

// The extension of a path's file name, from its last '.' on, lower-cased; empty when the file
// name has no '.'.
std::string LowerExtension(std::string_view path);

} // namespace palvina
