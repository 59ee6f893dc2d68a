#include "compose/MaskOption.h"

#include "files/AsciiCase.h"
#include "files/Errors.h"
#include "files/StrictNumber.h"

namespace palvina {

bool ReadMaskOption(const std::string& text)
{
    const std::string lower = AsciiLower(text);
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
