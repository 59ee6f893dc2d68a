#include "JpegTestFiles.h"
#include "PictureTestFolder.h"
#include "compose/JpegCodec.h"
#include "files/Errors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace palvina {
namespace {

using test::EncodeTestJpeg;
using test::RecordingSink;
using test::TestJpegRecipe;

struct Rgb {
    int r, g, b;
};

// A solid picture in some colour space, and the RGB it must decode to.
struct ColourCase {
    std::string name;
    TestJpegRecipe recipe;
    std::vector<std::uint8_t> stored;  // components as handed to libjpeg
    Rgb expected;
    int tolerance;
};

TestJpegRecipe Recipe(J_COLOR_SPACE input, J_COLOR_SPACE stored, bool adobe = true)
{
    TestJpegRecipe s;
    s.input = input;
    s.stored = stored;
    s.adobeMarker = adobe;
    return s;
}

// Photoshop stores CMYK inverted (255 - ink) and marks the file with the Adobe marker.
std::vector<std::uint8_t> AdobeInks(int c, int m, int y, int k)
{
    return {static_cast<std::uint8_t>(255 - c), static_cast<std::uint8_t>(255 - m), static_cast<std::uint8_t>(255 - y),
            static_cast<std::uint8_t>(255 - k)};
}

std::vector<ColourCase> ColourCases()
{
    return {
        {"Gray", Recipe(JCS_GRAYSCALE, JCS_GRAYSCALE), {128}, {128, 128, 128}, 1},
        {"YCbCr", Recipe(JCS_RGB, JCS_YCbCr), {200, 100, 50}, {200, 100, 50}, 2},
        {"StoredRgb", Recipe(JCS_RGB, JCS_RGB), {200, 100, 50}, {200, 100, 50}, 1},
        // Inks C 0, M 255, Y 255, K 0: red.
        {"AdobeCmykRed", Recipe(JCS_CMYK, JCS_CMYK), AdobeInks(0, 255, 255, 0), {255, 0, 0}, 1},
        // Only black ink, half: (255 - 128) of 255 light.
        {"AdobeCmykGray", Recipe(JCS_CMYK, JCS_CMYK), AdobeInks(0, 0, 0, 128), {127, 127, 127}, 1},
        // C 0, M 128, Y 255, K 64: R = 255 * 191/255, G = 127 * 191/255, B = 0.
        {"AdobeCmykMixed", Recipe(JCS_CMYK, JCS_CMYK), AdobeInks(0, 128, 255, 64), {191, 95, 0}, 1},
        {"AdobeYcckRed", Recipe(JCS_CMYK, JCS_YCCK), AdobeInks(0, 255, 255, 0), {255, 0, 0}, 3},
        {"AdobeYcckGray", Recipe(JCS_CMYK, JCS_YCCK), AdobeInks(0, 0, 0, 128), {127, 127, 127}, 3},
        {"AdobeYcckMixed", Recipe(JCS_CMYK, JCS_YCCK), AdobeInks(0, 128, 255, 64), {191, 95, 0}, 3},
        // Without the Adobe marker the inks are stored as they are.
        {"PlainCmykMixed", Recipe(JCS_CMYK, JCS_CMYK, false), {0, 128, 255, 64}, {191, 95, 0}, 1},
    };
}

void PrintTo(const ColourCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(JpegColourTest, DecodesToTheRightRgbOnBothPaths)
{
    const ColourCase& c = GetParam();
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(c.recipe, [&](int, int, std::uint8_t* px) {
        std::memcpy(px, c.stored.data(), c.stored.size());
    });
    const Bitmap bitmap = DecodeJpegMemory(jpeg.data(), jpeg.size());
    RecordingSink sink;
    DecodeJpegMemoryRows(jpeg.data(), jpeg.size(), 0, 0, sink);
    ASSERT_EQ(bitmap.width(), 16);
    ASSERT_EQ(bitmap.height(), 16);
    ASSERT_EQ(sink.rows, 16);
    for (const Bitmap* picture : {&bitmap, static_cast<const Bitmap*>(&sink.picture)}) {
        for (int y = 0; y < 16; y += 5) {
            for (int x = 0; x < 16; x += 5) {
                const std::uint8_t* p = picture->row(y) + x * 3;
                EXPECT_NEAR(p[2], c.expected.r, c.tolerance) << x << ", " << y;
                EXPECT_NEAR(p[1], c.expected.g, c.tolerance) << x << ", " << y;
                EXPECT_NEAR(p[0], c.expected.b, c.tolerance) << x << ", " << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ColourSpaces, JpegColourTest, ::testing::ValuesIn(ColourCases()),
                         [](const auto& info) { return info.param.name; });

std::vector<std::uint8_t> SmallJpeg(bool progressive = false)
{
    TestJpegRecipe recipe;
    recipe.width = 40;
    recipe.height = 30;
    recipe.progressive = progressive;
    recipe.quality = 80;
    return EncodeTestJpeg(recipe, [](int x, int y, std::uint8_t* px) {
        px[0] = static_cast<std::uint8_t>(x * 6);
        px[1] = static_cast<std::uint8_t>(y * 8);
        px[2] = static_cast<std::uint8_t>((x * y) & 0xFF);
    });
}

// The 60000 x 60000 header: the SOF segment's height and width replaced.
std::vector<std::uint8_t> HugeDeclaredSize()
{
    std::vector<std::uint8_t> bytes = SmallJpeg();
    const std::size_t sof = test::FindJpegMarker(bytes, 0xC0);
    for (std::size_t i : {sof + 5, sof + 7}) {
        bytes[i] = 0xEA;  // 60000 = 0xEA60
        bytes[i + 1] = 0x60;
    }
    return bytes;
}

// The first scan of a progressive file repeated until the file has 600 scans.
std::vector<std::uint8_t> TooManyScans()
{
    std::vector<std::uint8_t> bytes = SmallJpeg(true);
    const std::size_t sos = test::FindJpegMarker(bytes, 0xDA);
    const std::vector<std::uint8_t> scan(bytes.begin() + static_cast<std::ptrdiff_t>(sos),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(test::EndOfScan(bytes, sos)));
    for (int i = 0; i < 600; ++i) {
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(sos), scan.begin(), scan.end());
    }
    return bytes;
}

struct DamagedJpeg {
    std::string name;
    std::function<std::vector<std::uint8_t>()> bytes;
    std::string messagePart;  // expected in the error text, when given
};

std::vector<DamagedJpeg> DamagedCases()
{
    return {
        {"Empty", [] { return std::vector<std::uint8_t>{}; }, ""},
        {"Garbage", [] { return std::vector<std::uint8_t>(500, 0x5A); }, "Not a JPEG file"},
        {"PngBytes", [] { return std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}; },
         "Not a JPEG file"},
        {"StartMarkerOnly", [] { return std::vector<std::uint8_t>{0xFF, 0xD8}; }, ""},
        {"TruncatedHeader", [] {
             auto b = SmallJpeg();
             b.resize(test::FindJpegMarker(b, 0xC0) + 4);
             return b;
         }, ""},
        {"TruncatedScan", [] {
             auto b = SmallJpeg();
             b.resize(b.size() * 2 / 3);
             return b;
         }, "premature end of data segment"},
        {"TruncatedProgressive", [] {
             auto b = SmallJpeg(true);
             b.resize(b.size() * 2 / 3);
             return b;
         }, "premature end of data segment"},
        {"HugeDeclaredSize", HugeDeclaredSize, "60000"},
        {"TooManyScans", TooManyScans, "scans"},
    };
}

void PrintTo(const DamagedJpeg& c, std::ostream* os)
{
    *os << c.name;
}

class JpegDamagedTest : public ::testing::TestWithParam<DamagedJpeg> {};

TEST_P(JpegDamagedTest, EveryPathThrowsPictureError)
{
    const DamagedJpeg& c = GetParam();
    const std::vector<std::uint8_t> bytes = c.bytes();
    test::PictureTestFolder folder;
    EXPECT_THROW(DecodeJpegFile(folder.write("damaged.jpg", bytes)), PictureError);
    try {
        DecodeJpegMemory(bytes.data(), bytes.size());
        ADD_FAILURE() << "decoded";
    } catch (const PictureError& e) {
        EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
    }
    RecordingSink sink;
    EXPECT_THROW(DecodeJpegMemoryRows(bytes.data(), bytes.size(), 64, 64, sink), PictureError);
    if (c.name != "TruncatedScan") {  // a baseline scan cut short has already sent some rows
        EXPECT_EQ(sink.begins, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Damaged, JpegDamagedTest, ::testing::ValuesIn(DamagedCases()),
                         [](const auto& info) { return info.param.name; });

TEST(JpegDecodeTest, MissingEndMarkerStillDecodes)
{
    std::vector<std::uint8_t> bytes = SmallJpeg();
    ASSERT_EQ(bytes[bytes.size() - 1], 0xD9);
    bytes.resize(bytes.size() - 2);
    const Bitmap bitmap = DecodeJpegMemory(bytes.data(), bytes.size());
    EXPECT_EQ(bitmap.width(), 40);
    EXPECT_EQ(bitmap.height(), 30);
}

// Application segments larger than the file reader's blocks are skipped across block ends.
TEST(JpegDecodeTest, FileWithLargeSegmentsDecodesLikeMemory)
{
    std::vector<std::uint8_t> bytes = SmallJpeg();
    for (int i = 0; i < 3; ++i) {
        std::vector<std::uint8_t> segment{0xFF, 0xE9, 0xFF, 0xFF};  // APP9, 65535 bytes
        segment.resize(2 + 65535, static_cast<std::uint8_t>(0x11 * i));
        bytes.insert(bytes.begin() + 2, segment.begin(), segment.end());
    }
    test::PictureTestFolder folder;
    const std::string path = folder.write("large-segments.jpg", bytes);
    const Bitmap fromFile = DecodeJpegFile(path);
    const Bitmap fromMemory = DecodeJpegMemory(bytes.data(), bytes.size());
    ASSERT_EQ(fromFile.width(), 40);
    ASSERT_EQ(fromMemory.height(), 30);
    EXPECT_EQ(std::memcmp(fromFile.data(), fromMemory.data(), fromFile.stride() * 30), 0);
    EXPECT_EQ(ReadJpegSize(path).width, 40);
}

TEST(JpegDecodeTest, ReadsTheSizeFromTheHeader)
{
    test::PictureTestFolder folder;
    const std::vector<std::uint8_t> bytes = SmallJpeg(true);
    const PictureSize fromFile = ReadJpegSize(folder.write("p.jpg", bytes));
    EXPECT_EQ(fromFile.width, 40);
    EXPECT_EQ(fromFile.height, 30);
    const PictureSize huge = ReadJpegMemorySize(HugeDeclaredSize().data(), HugeDeclaredSize().size());
    EXPECT_EQ(huge.width, 60000);
    EXPECT_EQ(huge.height, 60000);
    const std::vector<std::uint8_t> garbage(100, 1);
    EXPECT_THROW(ReadJpegMemorySize(garbage.data(), garbage.size()), PictureError);
}

TEST(JpegDecodeTest, FileErrorsNameThePath)
{
    test::PictureTestFolder folder;
    const std::string missing = folder.file("missing.jpg");
    const std::string png = folder.write("png-with-jpeg-extension.jpg", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    RecordingSink sink;
    const std::vector<std::function<void(const std::string&)>> calls{
        [](const std::string& p) { DecodeJpegFile(p); },
        [&](const std::string& p) { DecodeJpegFileRows(p, 0, 0, sink); },
        [](const std::string& p) { ReadJpegSize(p); },
    };
    for (const auto& call : calls) {
        for (const std::string& path : {missing, png}) {
            try {
                call(path);
                ADD_FAILURE() << "no error for " << path;
            } catch (const PictureError& e) {
                EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            }
        }
    }
}

} // namespace
} // namespace palvina
