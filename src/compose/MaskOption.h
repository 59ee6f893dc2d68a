#pragma once

#include <string>

namespace palvina {

// The album's mask option text as a flag: a non-zero whole number ("-1" as the album builder
// writes it) is yes, "0" is no, and so are "True" and "False" in any letter case. Any other text,
// an empty one included, throws ConvertError.
bool ReadMaskOption(const std::string& text);

} // namespace palvina
