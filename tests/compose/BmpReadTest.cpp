#include "BmpBuilder.h"
#include "PictureTestFolder.h"
#include "compose/BmpFile.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace palvina {
namespace {

using test::BmpParts;
using test::BuildBmp;
using test::PackRows;

struct Rgb {
    std::uint8_t r, g, b;
};

// As a palette entry or 32-bit BGRX pixel stores it.
std::uint32_t Quad(Rgb c)
{
    return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

// As Bitmap::pixel returns it.
std::uint32_t PixelOf(Rgb c)
{
    return static_cast<std::uint32_t>(c.b) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.r;
}

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
const std::vector<Rgb> kColours{kBlack, kRed, kGreen, kBlue, kWhite};

// The common 5 x 3 test picture as indices into kColours, top row first. The odd width makes
// every bit depth pad its rows.
const std::vector<std::vector<std::uint32_t>> kIndexes{
    {1, 2, 3, 4, 0},
    {0, 1, 2, 3, 4},
    {4, 0, 1, 2, 3},
};

using Rows = std::vector<std::vector<std::uint32_t>>;

// kIndexes mapped through `f`, in file order (bottom-up unless topDown).
Rows MapRows(const std::function<std::uint32_t(std::uint32_t)>& f, bool topDown = false)
{
    Rows rows;
    for (const auto& row : kIndexes) {
        std::vector<std::uint32_t> out;
        for (std::uint32_t i : row) {
            out.push_back(f(i));
        }
        rows.insert(topDown ? rows.end() : rows.begin(), out);
    }
    return rows;
}

// The expected picture for the common layout when index i shows colour f(i).
std::vector<std::uint32_t> Expected(const std::function<Rgb(std::uint32_t)>& f)
{
    std::vector<std::uint32_t> pixels;
    for (const auto& row : kIndexes) {
        for (std::uint32_t i : row) {
            pixels.push_back(PixelOf(f(i)));
        }
    }
    return pixels;
}

std::vector<std::uint32_t> Palette(const std::vector<Rgb>& colours)
{
    std::vector<std::uint32_t> out;
    for (Rgb c : colours) {
        out.push_back(Quad(c));
    }
    return out;
}

std::uint32_t Pack555(Rgb c)
{
    return static_cast<std::uint32_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
}

std::uint32_t Pack565(Rgb c)
{
    return static_cast<std::uint32_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
}

Rgb Common(std::uint32_t i)
{
    return kColours[i];
}

struct BmpCase {
    std::string name;
    std::function<BmpParts()> parts;
    int width;
    int height;
    std::vector<std::uint32_t> expected;  // top row first
};

BmpParts Indexed(int bitCount, std::vector<Rgb> palette, std::function<std::uint32_t(std::uint32_t)> index,
                 bool topDown = false)
{
    BmpParts p;
    p.width = 5;
    p.height = topDown ? -3 : 3;
    p.bitCount = static_cast<std::uint16_t>(bitCount);
    p.palette = Palette(palette);
    p.pixels = PackRows(MapRows(index, topDown), bitCount);
    return p;
}

BmpParts Direct(int bitCount, std::function<std::uint32_t(std::uint32_t)> value, std::vector<std::uint32_t> masks = {},
                bool topDown = false)
{
    BmpParts p;
    p.width = 5;
    p.height = topDown ? -3 : 3;
    p.bitCount = static_cast<std::uint16_t>(bitCount);
    p.compression = masks.empty() ? 0 : 3;
    p.masks = std::move(masks);
    p.pixels = PackRows(MapRows(value, topDown), bitCount);
    return p;
}

// One pixel of value `value`, to check channel scaling.
BmpParts OnePixel(int bitCount, std::uint32_t value, std::vector<std::uint32_t> masks)
{
    BmpParts p;
    p.width = 1;
    p.height = 1;
    p.bitCount = static_cast<std::uint16_t>(bitCount);
    p.compression = masks.empty() ? 0 : 3;
    p.masks = std::move(masks);
    p.pixels = PackRows({{value}}, bitCount);
    return p;
}

BmpParts WithHeader(BmpParts p, std::uint32_t headerSize)
{
    p.headerSize = headerSize;
    return p;
}

std::vector<BmpCase> ReadCases()
{
    const auto bgr = [](std::uint32_t i) { return Quad(kColours[i]); };
    const std::vector<Rgb> twoColours{kRed, kBlue};
    std::vector<BmpCase> cases{
        {"Indexed1", [] { return Indexed(1, {kRed, kBlue}, [](std::uint32_t i) { return i % 2; }); }, 5, 3,
         Expected([&](std::uint32_t i) { return twoColours[i % 2]; })},
        {"Indexed2", [] { return Indexed(2, {kBlack, kRed, kGreen, kBlue}, [](std::uint32_t i) { return i % 4; }); }, 5,
         3, Expected([](std::uint32_t i) { return kColours[i % 4]; })},
        // Four palette entries: index 4 lies past the palette and shows black.
        {"Indexed4ShortPalette",
         [] {
             BmpParts p = Indexed(4, {kBlack, kRed, kGreen, kBlue}, [](std::uint32_t i) { return i; });
             p.colorsUsed = 4;
             return p;
         },
         5, 3, Expected([](std::uint32_t i) { return i < 4 ? kColours[i] : kBlack; })},
        {"Indexed4", [] { return Indexed(4, kColours, [](std::uint32_t i) { return i; }); }, 5, 3, Expected(Common)},
        // colorsUsed 0 promises 256 entries, but the pixels start after five: index 200 is black.
        {"Indexed8IndexPastPalette",
         [] { return Indexed(8, kColours, [](std::uint32_t i) { return i == 0 ? 200u : i; }); }, 5, 3,
         Expected(Common)},
        {"Indexed8TopDown", [] { return Indexed(8, kColours, [](std::uint32_t i) { return i; }, true); }, 5, 3,
         Expected(Common)},
        {"Rgb555", [] { return Direct(16, [](std::uint32_t i) { return Pack555(kColours[i]); }); }, 5, 3,
         Expected(Common)},
        // 16 of 31, 8 of 31, 1 of 31 -> 132, 66, 8.
        {"Rgb555Scaling", [] { return OnePixel(16, 16u << 10 | 8u << 5 | 1u, {}); }, 1, 1, {PixelOf({132, 66, 8})}},
        {"Bitfields565",
         [] { return Direct(16, [](std::uint32_t i) { return Pack565(kColours[i]); }, {0xF800, 0x07E0, 0x001F}); }, 5,
         3, Expected(Common)},
        // 16 of 31, 32 of 63, 0 -> 132, 130, 0.
        {"Bitfields565Scaling", [] { return OnePixel(16, 16u << 11 | 32u << 5, {0xF800, 0x07E0, 0x001F}); }, 1, 1,
         {PixelOf({132, 130, 0})}},
        // 4 bits per channel, blue in the high bits: 8 of 15, 15 of 15, 1 of 15 -> 136, 255, 17.
        {"Bitfields444Reordered", [] { return OnePixel(16, 1u << 8 | 15u << 4 | 8u, {0x000F, 0x00F0, 0x0F00}); }, 1, 1,
         {PixelOf({136, 255, 17})}},
        {"Rgb24", [&] { return Direct(24, bgr); }, 5, 3, Expected(Common)},
        {"Rgb24TopDown", [&] { return Direct(24, bgr, {}, true); }, 5, 3, Expected(Common)},
        // The fourth byte is not alpha for BI_RGB and is ignored.
        {"Rgb32", [&] { return Direct(32, [&](std::uint32_t i) { return bgr(i) | 0x7F000000u; }); }, 5, 3,
         Expected(Common)},
        {"Bitfields32Rgbx",
         [] {
             return Direct(32, [](std::uint32_t i) {
                 const Rgb c = kColours[i];
                 return static_cast<std::uint32_t>(c.r | c.g << 8 | c.b << 16);
             }, {0x000000FF, 0x0000FF00, 0x00FF0000});
         },
         5, 3, Expected(Common)},
        // 10 bits per channel: 512 of 1023 keeps its top 8 bits, 128.
        {"Bitfields32TenBits", [] { return OnePixel(32, 1023u << 20 | 512u << 10 | 0u, {0x3FF00000, 0x000FFC00, 0x3FF}); },
         1, 1, {PixelOf({255, 128, 0})}},
        {"V4Rgb24", [&] { return WithHeader(Direct(24, bgr), 108); }, 5, 3, Expected(Common)},
        {"V5Bitfields32",
         [&] { return WithHeader(Direct(32, bgr, {0x00FF0000, 0x0000FF00, 0x000000FF}, true), 124); }, 5, 3,
         Expected(Common)},
        {"CoreIndexed8", [] { return WithHeader(Indexed(8, kColours, [](std::uint32_t i) { return i; }), 12); }, 5, 3,
         Expected(Common)},
        {"CoreRgb24", [&] { return WithHeader(Direct(24, bgr), 12); }, 5, 3, Expected(Common)},
    };

    // RLE8, 6 x 4, bottom row first: a run, an odd absolute run (padded), end of line; a run, a
    // delta to (4, 2), a run, end of line; a run, a run past the right edge (cut), end of bitmap.
    // Pixels never written stay black.
    cases.push_back({"Rle8",
                     [] {
                         BmpParts p;
                         p.width = 6;
                         p.height = 4;
                         p.bitCount = 8;
                         p.compression = 1;
                         p.palette = Palette(kColours);
                         p.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  //
                                     2, 4, 0, 2, 2, 1, 2, 2, 0, 0,  //
                                     1, 3, 10, 1, 0, 1};
                         return p;
                     },
                     6, 4,
                     [] {
                         const Rgb K = kBlack, R = kRed, G = kGreen, B = kBlue, W = kWhite;
                         std::vector<std::uint32_t> e;
                         for (Rgb c : {B, R, R, R, R, R, K, K, K, K, G, G, W, W, K, K, K, K, R, R, R, G, B, W}) {
                             e.push_back(PixelOf(c));
                         }
                         return e;
                     }()});
    // RLE4, 7 x 2: a run alternating two indices, an absolute run of 3 (two bytes, no pad), end
    // of line; an absolute run of 5 (three bytes + pad) whose last index lies past the palette,
    // end of bitmap.
    cases.push_back({"Rle4",
                     [] {
                         BmpParts p;
                         p.width = 7;
                         p.height = 2;
                         p.bitCount = 4;
                         p.compression = 2;
                         p.palette = Palette(kColours);
                         p.pixels = {4, 0x12, 0, 3, 0x34, 0x40, 0, 0,  //
                                     0, 5, 0x12, 0x34, 0x50, 0, 0, 1};
                         return p;
                     },
                     7, 2,
                     [] {
                         const Rgb K = kBlack, R = kRed, G = kGreen, B = kBlue, W = kWhite;
                         std::vector<std::uint32_t> e;
                         for (Rgb c : {R, G, B, W, K, K, K, R, G, R, G, B, W, W}) {
                             e.push_back(PixelOf(c));
                         }
                         return e;
                     }()});
    return cases;
}

void PrintTo(const BmpCase& c, std::ostream* os)
{
    *os << c.name;
}

class BmpReadTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpReadTest, DecodesPixelExact)
{
    const BmpCase& c = GetParam();
    const std::vector<std::uint8_t> bytes = BuildBmp(c.parts());
    const Bitmap bitmap = DecodeBmp(bytes.data(), bytes.size());
    ASSERT_EQ(bitmap.width(), c.width);
    ASSERT_EQ(bitmap.height(), c.height);
    EXPECT_EQ(bitmap.format(), PixelFormat::Bgr24);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            EXPECT_EQ(bitmap.pixel(x, y), c.expected[static_cast<std::size_t>(y * c.width + x)])
                << "at " << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, BmpReadTest, ::testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return info.param.name; });

// Damaged files, each derived from a valid 24-bit 5 x 3 picture.
struct DamagedCase {
    std::string name;
    std::function<std::vector<std::uint8_t>()> bytes;
};

std::vector<std::uint8_t> Valid24()
{
    return BuildBmp(Direct(24, [](std::uint32_t i) { return Quad(kColours[i]); }));
}

std::vector<std::uint8_t> Patched32(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return bytes;
}

std::vector<std::uint8_t> Patched16(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return bytes;
}

std::vector<DamagedCase> DamagedCases()
{
    return {
        {"Empty", [] { return std::vector<std::uint8_t>{}; }},
        {"NotBmp", [] { return Patched16(Valid24(), 0, 0x4947); }},
        {"TruncatedHeader", [] {
             auto b = Valid24();
             b.resize(30);
             return b;
         }},
        {"TruncatedPixels", [] {
             auto b = Valid24();
             b.resize(b.size() - 20);
             return b;
         }},
        {"UnknownHeaderSize", [] { return Patched32(Valid24(), 14, 20); }},
        {"HugeDeclaredSize", [] { return Patched32(Patched32(Valid24(), 18, 100000), 22, 100000); }},
        {"TooManyPixels", [] { return Patched32(Patched32(Valid24(), 18, 30000), 22, 30000); }},
        // Allowed size, but the pixels are not in the file: must fail before allocating them.
        {"LargeSizeWithoutPixels", [] { return Patched32(Patched32(Valid24(), 18, 20000), 22, 5000); }},
        {"ZeroWidth", [] { return Patched32(Valid24(), 18, 0); }},
        {"NegativeWidth", [] { return Patched32(Valid24(), 18, static_cast<std::uint32_t>(-5)); }},
        {"ZeroHeight", [] { return Patched32(Valid24(), 22, 0); }},
        {"MostNegativeHeight", [] { return Patched32(Valid24(), 22, 0x80000000u); }},
        {"OffsetPastEnd", [] { return Patched32(Valid24(), 10, 100000); }},
        {"OffsetInsideHeader", [] { return Patched32(Valid24(), 10, 20); }},
        {"BitCount3", [] { return Patched16(Valid24(), 28, 3); }},
        {"BitCount0", [] { return Patched16(Valid24(), 28, 0); }},
        {"BitCount64", [] { return Patched16(Valid24(), 28, 64); }},
        {"JpegCompression", [] { return Patched32(Valid24(), 30, 4); }},
        {"BitfieldsWith24Bits", [] { return Patched32(Valid24(), 30, 3); }},
        {"Rle8With24Bits", [] { return Patched32(Valid24(), 30, 1); }},
        {"TopDownRle",
         [] {
             BmpParts p = Indexed(8, kColours, [](std::uint32_t i) { return i; });
             p.height = -3;
             p.compression = 1;
             p.pixels = {5, 1, 0, 1};
             return BuildBmp(p);
         }},
        {"BitfieldsMasksMissing",
         [] {
             auto b = Patched16(Patched32(Valid24(), 30, 3), 28, 32);
             b.resize(14 + 40 + 4);
             return Patched32(b, 10, static_cast<std::uint32_t>(b.size()));
         }},
    };
}

void PrintTo(const DamagedCase& c, std::ostream* os)
{
    *os << c.name;
}

class BmpDamagedTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(BmpDamagedTest, ThrowsPictureError)
{
    const std::vector<std::uint8_t> bytes = GetParam().bytes();
    EXPECT_THROW(DecodeBmp(bytes.data(), bytes.size()), PictureError);
}

INSTANTIATE_TEST_SUITE_P(Damaged, BmpDamagedTest, ::testing::ValuesIn(DamagedCases()),
                         [](const auto& info) { return info.param.name; });

TEST(BmpReadFileTest, ReadsAFileAndNamesAMissingOne)
{
    test::PictureTestFolder folder;
    const std::string path = folder.write("a.bmp", Valid24());
    EXPECT_EQ(ReadBmpFile(path).pixel(3, 0), PixelOf(kWhite));

    const std::string missing = folder.file("missing.bmp");
    try {
        ReadBmpFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const PictureError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace palvina
