#include "compose/BmpFile.h"

#include "compose/PictureFile.h"
#include "files/Errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace palvina {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOs2HeaderSize = 64;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
         | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

[[noreturn]] void Damaged(const char* what)
{
    throw PictureError(std::string("Damaged or unsupported BMP picture: ") + what);
}

bool IsKnownHeaderSize(std::uint32_t size)
{
    // Core (OS/2 1.x), info, V2, V3, OS/2 2.x, V4, V5.
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56
        || size == kOs2HeaderSize || size == 108 || size == 124;
}

// What the headers say about the picture.
struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::size_t paletteStart = 0;
    std::size_t paletteEntrySize = 4;
    std::uint32_t colorsUsed = 0;
    std::size_t pixelOffset = 0;
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue
};

std::size_t RowBytes(const BmpLayout& layout)
{
    return (static_cast<std::size_t>(layout.width) * layout.bitCount + 7) / 8;
}

// Rows are padded to whole 32-bit words.
std::size_t Stride(const BmpLayout& layout)
{
    return (static_cast<std::size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0)
    {
        int bits = mask ? std::bit_width(mask >> shift_) : 0;
        if (bits > 8) {
            drop_ = bits - 8;
            bits = 8;
        }
        const unsigned maxValue = (1u << bits) - 1;
        for (unsigned v = 0; v < 256; ++v) {
            lut_[v] = maxValue == 0 ? 0
                                    : static_cast<std::uint8_t>((std::min(v, maxValue) * 255 + maxValue / 2) / maxValue);
        }
    }

    std::uint8_t operator()(std::uint32_t pixel) const { return lut_[((pixel & mask_) >> shift_ >> drop_) & 0xFF]; }

private:
    std::uint32_t mask_;
    int shift_;
    int drop_ = 0;
    std::array<std::uint8_t, 256> lut_{};
};

BmpLayout ReadLayout(const std::uint8_t* data, std::size_t size)
{
    if (size < kFileHeaderSize + 4) {
        Damaged("file too short");
    }
    if (data[0] != 'B' || data[1] != 'M') {
        Damaged("not a BMP file");
    }
    BmpLayout layout;
    layout.pixelOffset = U32(data + 10);
    const std::uint32_t headerSize = U32(data + 14);
    if (!IsKnownHeaderSize(headerSize)) {
        Damaged("unknown header");
    }
    const std::size_t headerEnd = kFileHeaderSize + headerSize;
    if (headerEnd > size) {
        Damaged("truncated header");
    }
    const std::uint8_t* h = data + kFileHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        layout.width = U16(h + 4);
        layout.height = U16(h + 6);
        layout.bitCount = U16(h + 10);
        layout.paletteEntrySize = 3;
    } else {
        layout.width = static_cast<std::int32_t>(U32(h + 4));
        const std::int64_t height = static_cast<std::int32_t>(U32(h + 8));
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        layout.bitCount = U16(h + 14);
        layout.compression = U32(h + 16);
        layout.colorsUsed = U32(h + 32);
    }
    layout.paletteStart = headerEnd;

    const int bpp = layout.bitCount;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        Damaged("unsupported bits per pixel");
    }
    switch (layout.compression) {
    case kBiRgb:
        break;
    case kBiRle8:
    case kBiRle4:
        if (bpp != (layout.compression == kBiRle8 ? 8 : 4)) {
            Damaged("RLE compression with the wrong bits per pixel");
        }
        if (layout.topDown) {
            Damaged("top-down RLE picture");
        }
        break;
    case kBiBitfields:
    case kBiAlphaBitfields:
        // OS/2 2.x uses these numbers for other codings that we do not read.
        if ((bpp != 16 && bpp != 32) || headerSize == kOs2HeaderSize) {
            Damaged("unsupported bit fields");
        }
        if (headerSize == kInfoHeaderSize) {
            // The masks follow the 40-byte header; larger headers hold them at the same place.
            layout.paletteStart += layout.compression == kBiAlphaBitfields ? 16 : 12;
            if (layout.paletteStart > size) {
                Damaged("truncated colour masks");
            }
        }
        for (int i = 0; i < 3; ++i) {
            layout.masks[i] = U32(data + kFileHeaderSize + kInfoHeaderSize + 4 * i);
        }
        break;
    default:
        Damaged("unsupported compression");
    }
    if (bpp == 16 && layout.compression == kBiRgb) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    }

    if (layout.width <= 0 || layout.height <= 0) {
        Damaged("bad picture size");
    }
    if (!IsAcceptablePictureSize(layout.width, layout.height)) {
        throw PictureError("BMP picture size " + std::to_string(layout.width) + " x "
                           + std::to_string(layout.height) + " is not supported");
    }
    if (layout.pixelOffset < layout.paletteStart || layout.pixelOffset > size) {
        Damaged("bad pixel data offset");
    }
    // Uncompressed pixels must all be there (the last row may lack its padding).
    if (layout.compression != kBiRle8 && layout.compression != kBiRle4
        && size - layout.pixelOffset < Stride(layout) * static_cast<std::size_t>(layout.height - 1) + RowBytes(layout)) {
        Damaged("truncated pixel data");
    }
    return layout;
}

// Palette colours as BGR triples; entries the file does not define stay black.
using Palette = std::array<std::uint8_t, 256 * 3>;

Palette ReadPalette(const std::uint8_t* data, const BmpLayout& layout)
{
    Palette palette{};
    std::size_t entries = std::size_t{1} << layout.bitCount;
    if (layout.colorsUsed != 0 && layout.colorsUsed < entries) {
        entries = layout.colorsUsed;
    }
    // The palette cannot reach into the pixel data.
    entries = std::min(entries, (layout.pixelOffset - layout.paletteStart) / layout.paletteEntrySize);
    const std::uint8_t* p = data + layout.paletteStart;
    for (std::size_t i = 0; i < entries; ++i, p += layout.paletteEntrySize) {
        std::memcpy(&palette[i * 3], p, 3);
    }
    return palette;
}

void DecodeIndexedRow(const std::uint8_t* src, int width, int bpp, const Palette& palette, std::uint8_t* out)
{
    if (bpp == 8) {
        for (int x = 0; x < width; ++x, out += 3) {
            std::memcpy(out, &palette[src[x] * 3], 3);
        }
        return;
    }
    const unsigned mask = (1u << bpp) - 1;
    for (int x = 0; x < width; ++x, out += 3) {
        const unsigned bit = static_cast<unsigned>(x) * bpp;
        const unsigned index = (src[bit >> 3] >> (8 - bpp - (bit & 7))) & mask;
        std::memcpy(out, &palette[index * 3], 3);
    }
}

void DecodeMaskedRow(const std::uint8_t* src, int width, int bpp, const Channel (&channels)[3], std::uint8_t* out)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const std::uint32_t pixel = bpp == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        out[0] = channels[2](pixel);
        out[1] = channels[1](pixel);
        out[2] = channels[0](pixel);
    }
}

void DecodeUncompressed(const std::uint8_t* data, const BmpLayout& layout, Bitmap& bitmap)
{
    const int width = bitmap.width();
    const int height = bitmap.height();
    const int bpp = layout.bitCount;
    const std::size_t rowBytes = RowBytes(layout);
    const std::size_t stride = Stride(layout);
    Palette palette{};
    if (bpp <= 8) {
        palette = ReadPalette(data, layout);
    }
    const Channel channels[3] = {Channel(layout.masks[0]), Channel(layout.masks[1]), Channel(layout.masks[2])};
    const bool plainBgrx = bpp == 32
        && (layout.compression == kBiRgb
            || (layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 && layout.masks[2] == 0xFF));

    for (int r = 0; r < height; ++r) {
        const std::uint8_t* src = data + layout.pixelOffset + stride * static_cast<std::size_t>(r);
        std::uint8_t* out = bitmap.row(layout.topDown ? r : height - 1 - r);
        if (bpp <= 8) {
            DecodeIndexedRow(src, width, bpp, palette, out);
        } else if (bpp == 24) {
            std::memcpy(out, src, rowBytes);
        } else if (plainBgrx) {
            for (int x = 0; x < width; ++x, out += 3, src += 4) {
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
            }
        } else {
            DecodeMaskedRow(src, width, bpp, channels, out);
        }
    }
}

// BI_RLE8 / BI_RLE4, always bottom-up. Pixels the stream does not reach stay black; pixels
// beyond the right edge are dropped; a stream that ends early ends the picture.
void DecodeRle(const std::uint8_t* data, std::size_t size, const BmpLayout& layout, Bitmap& bitmap)
{
    const Palette palette = ReadPalette(data, layout);
    const bool rle8 = layout.compression == kBiRle8;
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height();
    const std::uint8_t* p = data + layout.pixelOffset;
    const std::uint8_t* const end = data + size;
    std::int64_t x = 0;
    std::int64_t y = 0;  // counted from the bottom row

    auto put = [&](std::int64_t px, unsigned index) {
        std::memcpy(bitmap.row(static_cast<int>(height - 1 - y)) + px * 3, &palette[index * 3], 3);
    };

    while (end - p >= 2 && y < height) {
        const unsigned count = p[0];
        const unsigned value = p[1];
        p += 2;
        if (count > 0) {
            const std::int64_t n = std::min<std::int64_t>(count, width - x);
            for (std::int64_t i = 0; i < n; ++i) {
                put(x + i, rle8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
            }
            x = std::min<std::int64_t>(x + count, width);
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (end - p < 2) {
                break;
            }
            x = std::min<std::int64_t>(x + p[0], width);
            y += p[1];
            p += 2;
        } else {  // absolute run, padded to an even number of bytes
            const std::size_t bytes = rle8 ? value : (value + 1) / 2;
            const std::size_t available = static_cast<std::size_t>(end - p);
            const std::size_t usable = std::min(bytes, available);
            const std::int64_t pixels = std::min<std::int64_t>(rle8 ? usable : usable * 2, value);
            const std::int64_t n = std::min(pixels, width - x);
            for (std::int64_t i = 0; i < n; ++i) {
                put(x + i, rle8 ? p[i] : ((i & 1) ? p[i / 2] & 0x0F : p[i / 2] >> 4));
            }
            x = std::min<std::int64_t>(x + value, width);
            p += std::min((bytes + 1) & ~std::size_t{1}, available);
        }
    }
}

} // namespace

Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr) {
        Damaged("no data");
    }
    const BmpLayout layout = ReadLayout(data, size);
    Bitmap bitmap(static_cast<int>(layout.width), static_cast<int>(layout.height));
    if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
        DecodeRle(data, size, layout, bitmap);
    } else {
        DecodeUncompressed(data, layout, bitmap);
    }
    return bitmap;
}

Bitmap ReadBmpFile(const std::string& path)
{
    const PictureBytes bytes = ReadPictureFile(path);
    try {
        return DecodeBmp(bytes.data.get(), bytes.size);
    } catch (const PictureError& e) {
        throw PictureError(path + ": " + e.what());
    }
}

} // namespace palvina
