#pragma once

#include <cstdint>
#include <vector>

namespace palvina::test {

// Writes the bytes of a BMP file from its parts, so tests can make every header and pixel
// layout the readers meet. Nothing is checked: damaged files are built the same way.
struct BmpParts {
    std::uint32_t headerSize = 40;  // 12 (OS/2 core), 40, 108 (V4) or 124 (V5)
    std::int32_t width = 0;
    std::int32_t height = 0;        // negative: top-down
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;  // 0 BI_RGB, 1 BI_RLE8, 2 BI_RLE4, 3 BI_BITFIELDS
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, stored as B, G, R (, 0)
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;  // red, green, blue; after a 40-byte header or inside V4/V5
    std::vector<std::uint8_t> pixels;  // the pixel data exactly as stored
};

inline void Append16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Append32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Append16(out, v & 0xFFFF);
    Append16(out, v >> 16);
}

inline std::vector<std::uint8_t> BuildBmp(const BmpParts& parts)
{
    const bool core = parts.headerSize == 12;
    const std::size_t entrySize = core ? 3 : 4;
    const bool masksAfterHeader = parts.headerSize == 40 && !parts.masks.empty();
    const std::uint32_t pixelOffset = static_cast<std::uint32_t>(
        14 + parts.headerSize + (masksAfterHeader ? 4 * parts.masks.size() : 0) + entrySize * parts.palette.size());

    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Append32(out, static_cast<std::uint32_t>(pixelOffset + parts.pixels.size()));
    Append32(out, 0);
    Append32(out, pixelOffset);
    Append32(out, parts.headerSize);
    if (core) {
        Append16(out, static_cast<std::uint32_t>(parts.width));
        Append16(out, static_cast<std::uint32_t>(parts.height));
        Append16(out, 1);
        Append16(out, parts.bitCount);
    } else {
        Append32(out, static_cast<std::uint32_t>(parts.width));
        Append32(out, static_cast<std::uint32_t>(parts.height));
        Append16(out, 1);
        Append16(out, parts.bitCount);
        Append32(out, parts.compression);
        Append32(out, static_cast<std::uint32_t>(parts.pixels.size()));
        Append32(out, 2835);
        Append32(out, 2835);
        Append32(out, parts.colorsUsed);
        Append32(out, 0);
        if (masksAfterHeader) {
            for (std::uint32_t m : parts.masks) {
                Append32(out, m);
            }
        } else if (parts.headerSize > 40) {
            // V4/V5: red, green, blue, alpha masks, then colour space data left zero.
            for (std::size_t i = 0; i < 4; ++i) {
                Append32(out, i < parts.masks.size() ? parts.masks[i] : 0);
            }
            out.resize(14 + parts.headerSize, 0);
        }
    }
    for (std::uint32_t c : parts.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), parts.pixels.begin(), parts.pixels.end());
    return out;
}

// Packs rows of values (palette indices or whole pixels) at `bitCount` bits each, high bits
// first within a byte and little-endian for 16/24/32 bits, every row padded to 4 bytes. The rows
// are given in file order.
inline std::vector<std::uint8_t> PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bitCount)
{
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        std::vector<std::uint8_t> bytes;
        if (bitCount < 8) {
            bytes.assign((row.size() * bitCount + 7) / 8, 0);
            for (std::size_t x = 0; x < row.size(); ++x) {
                const std::size_t bit = x * bitCount;
                bytes[bit / 8] |= static_cast<std::uint8_t>(row[x] << (8 - bitCount - bit % 8));
            }
        } else {
            for (std::uint32_t v : row) {
                for (int b = 0; b < bitCount / 8; ++b) {
                    bytes.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
                }
            }
        }
        bytes.resize((bytes.size() + 3) / 4 * 4, 0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace palvina::test
