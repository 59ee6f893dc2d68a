#pragma once

#include <string_view>

namespace palvina {

// The player's strict whole-number conversion: an optional '+' or '-' followed by decimal
// digits, within the 32-bit signed range, and nothing else (no blanks). Anything else, empty
// text included, throws ConvertError "'<text>' is not a valid integer value".
int ParseStrictInt(std::string_view text);

} // namespace palvina
