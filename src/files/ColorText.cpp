#include "files/ColorText.h"

#include "files/AsciiCase.h"
#include "files/Errors.h"
#include "files/StrictNumber.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace palvina {

namespace {

struct NamedColor {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::uint32_t kSystem = 0xFF000000;

// The first twenty are the fixed colours that ColorToText writes by name.
constexpr std::size_t kFixedColorCount = 20;
constexpr std::array kColorNames{
    NamedColor{"clBlack", 0x000000},    NamedColor{"clMaroon", 0x000080},
    NamedColor{"clGreen", 0x008000},    NamedColor{"clOlive", 0x008080},
    NamedColor{"clNavy", 0x800000},     NamedColor{"clPurple", 0x800080},
    NamedColor{"clTeal", 0x808000},     NamedColor{"clGray", 0x808080},
    NamedColor{"clSilver", 0xC0C0C0},   NamedColor{"clRed", 0x0000FF},
    NamedColor{"clLime", 0x00FF00},     NamedColor{"clYellow", 0x00FFFF},
    NamedColor{"clBlue", 0xFF0000},     NamedColor{"clFuchsia", 0xFF00FF},
    NamedColor{"clAqua", 0xFFFF00},     NamedColor{"clWhite", 0xFFFFFF},
    NamedColor{"clMoneyGreen", 0xC0DCC0}, NamedColor{"clSkyBlue", 0xF0CAA6},
    NamedColor{"clCream", 0xF0FBFF},    NamedColor{"clMedGray", 0xA4A0A0},
    NamedColor{"clScrollBar", kSystem + 0},
    NamedColor{"clBackground", kSystem + 1},
    NamedColor{"clActiveCaption", kSystem + 2},
    NamedColor{"clInactiveCaption", kSystem + 3},
    NamedColor{"clMenu", kSystem + 4},
    NamedColor{"clWindow", kSystem + 5},
    NamedColor{"clWindowFrame", kSystem + 6},
    NamedColor{"clMenuText", kSystem + 7},
    NamedColor{"clWindowText", kSystem + 8},
    NamedColor{"clCaptionText", kSystem + 9},
    NamedColor{"clActiveBorder", kSystem + 10},
    NamedColor{"clInactiveBorder", kSystem + 11},
    NamedColor{"clAppWorkSpace", kSystem + 12},
    NamedColor{"clHighlight", kSystem + 13},
    NamedColor{"clHighlightText", kSystem + 14},
    NamedColor{"clBtnFace", kSystem + 15},
    NamedColor{"clBtnShadow", kSystem + 16},
    NamedColor{"clGrayText", kSystem + 17},
    NamedColor{"clBtnText", kSystem + 18},
    NamedColor{"clInactiveCaptionText", kSystem + 19},
    NamedColor{"clBtnHighlight", kSystem + 20},
    NamedColor{"cl3DDkShadow", kSystem + 21},
    NamedColor{"cl3DLight", kSystem + 22},
    NamedColor{"clInfoText", kSystem + 23},
    NamedColor{"clInfoBk", kSystem + 24},
    NamedColor{"clHotLight", kSystem + 26},
    NamedColor{"clGradientActiveCaption", kSystem + 27},
    NamedColor{"clGradientInactiveCaption", kSystem + 28},
    NamedColor{"clMenuHighlight", kSystem + 29},
    NamedColor{"clMenuBar", kSystem + 30},
    NamedColor{"clNone", 0x1FFFFFFF},
    NamedColor{"clDefault", 0x20000000},
};

// The classic Windows default system colours, 0x00BBGGRR, by system colour index.
constexpr std::array<std::uint32_t, 31> kSystemRgb{
    0xC8C8C8,  // 0 scroll bar
    0x000000,  // 1 desktop background
    0xD1B499,  // 2 active caption
    0xDBCDBF,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xFCF7F4,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0xD77800,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xE1FFFF,  // 24 tooltip background
    0x000000,  // 25 (unused)
    0xCC6600,  // 26 hot-tracked item
    0xEAD1B9,  // 27 active caption gradient
    0xF2E4D7,  // 28 inactive caption gradient
    0xD77800,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::uint32_t TextToColor(std::string_view text)
{
    const auto fail = [&]() { return ConvertError("'" + std::string(text) + "' is not a valid colour value"); };
    for (const NamedColor& named : kColorNames) {
        if (SameIgnoringAsciiCase(named.name, text)) {
            return named.value;
        }
    }
    if (!text.empty() && text.front() == '$') {
        const std::string_view digits = text.substr(1);
        if (digits.empty()) {
            throw fail();
        }
        std::uint64_t value = 0;
        for (char c : digits) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                throw fail();
            }
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFu) {
                throw fail();
            }
        }
        return static_cast<std::uint32_t>(value);
    }
    try {
        return static_cast<std::uint32_t>(ParseStrictInt(text));
    } catch (const ConvertError&) {
        throw fail();
    }
}

std::string ColorToText(std::uint32_t colour)
{
    for (std::size_t i = 0; i < kFixedColorCount; ++i) {
        if (kColorNames[i].value == colour) {
            return std::string(kColorNames[i].name);
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour));
    return text;
}

std::uint32_t ColorToRgb(std::uint32_t colour)
{
    if ((colour & 0xFF000000) == kSystem) {
        const std::uint32_t index = colour & 0xFF;
        return index < kSystemRgb.size() ? kSystemRgb[index] : 0x000000;
    }
    return colour & 0x00FFFFFF;
}

} // namespace palvina
