#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palvina {

// Colours are 32-bit values 0x00BBGGRR (red in the lowest byte). A high byte of 0xFF marks a
// system colour (0xFF000000 + its index); clNone is 0x1FFFFFFF and clDefault 0x20000000.

// Reads a colour text: a colour name ("clRed", "clBtnFace", ...) in any letter case, "$"
// followed by hexadecimal digits, or a decimal number with an optional sign (32-bit).
// Anything else, empty text included, throws ConvertError.
std::uint32_t TextToColor(std::string_view text);

// The text form the album builder writes: the name of one of the twenty fixed colours, else
// "$" and eight upper-case hexadecimal digits.
std::string ColorToText(std::uint32_t colour);

// The RGB value (0x00BBGGRR) to paint with: system colours map to the classic Windows
// defaults, everything else keeps its low 24 bits.
std::uint32_t ColorToRgb(std::uint32_t colour);

} // namespace palvina
