#include "compose/MaskOption.h"

#include "files/Errors.h"
#include "files/StrictNumber.h"

#include <algorithm>
#include <cctype>

namespace palvina {

bool ReadMaskOption(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true") {
        return true;
    }
    if (lower == "false") {
        return false;
    }
    try {
        return ParseStrictInt(text) != 0;
    } catch (const ConvertError&) {
        throw ConvertError("'" + text + "' is not a valid boolean value");
    }
}

} // namespace palvina
