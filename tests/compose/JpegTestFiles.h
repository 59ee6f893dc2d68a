#pragma once

#include "compose/Bitmap.h"
#include "compose/RowSink.h"

#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace palvina::test {

// How a test JPEG is made with libjpeg directly: kinds of file our own encoder never writes.
struct TestJpegRecipe {
    int width = 16;
    int height = 16;
    J_COLOR_SPACE input = JCS_RGB;     // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored = JCS_YCbCr;  // the file's colour space
    bool adobeMarker = true;           // CMYK/YCCK: write the Adobe marker
    bool progressive = false;
    int quality = 100;
};

// Encodes a picture whose pixel (x, y) has the components `pixel` writes (1, 3 or 4 bytes).
// A libjpeg failure here ends the test program with libjpeg's message.
inline std::vector<std::uint8_t> EncodeTestJpeg(const TestJpegRecipe& recipe,
                                                const std::function<void(int, int, std::uint8_t*)>& pixel)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    const int components = recipe.input == JCS_GRAYSCALE ? 1 : recipe.input == JCS_CMYK ? 4 : 3;
    cinfo.image_width = static_cast<JDIMENSION>(recipe.width);
    cinfo.image_height = static_cast<JDIMENSION>(recipe.height);
    cinfo.input_components = components;
    cinfo.in_color_space = recipe.input;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, recipe.stored);
    if (recipe.stored == JCS_CMYK || recipe.stored == JCS_YCCK) {
        cinfo.write_Adobe_marker = recipe.adobeMarker ? TRUE : FALSE;
    }
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (recipe.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(recipe.width * components));
    for (int y = 0; y < recipe.height; ++y) {
        for (int x = 0; x < recipe.width; ++x) {
            pixel(x, y, &row[static_cast<std::size_t>(x * components)]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// The offset of the first header marker FF `code` (walking the marker segments up to the first
// scan, which is found too), or npos.
inline std::size_t FindJpegMarker(const std::vector<std::uint8_t>& bytes, std::uint8_t code)
{
    std::size_t i = 2;
    while (i + 4 <= bytes.size() && bytes[i] == 0xFF) {
        if (bytes[i + 1] == code) {
            return i;
        }
        if (bytes[i + 1] == 0xDA) {
            break;
        }
        i += 2 + (static_cast<std::size_t>(bytes[i + 2]) << 8 | bytes[i + 3]);
    }
    return static_cast<std::size_t>(-1);
}

// The end of the scan whose SOS marker is at `sos`: the next marker that is not a stuffed byte
// or a restart marker.
inline std::size_t EndOfScan(const std::vector<std::uint8_t>& bytes, std::size_t sos)
{
    std::size_t i = sos + 2 + (static_cast<std::size_t>(bytes[sos + 2]) << 8 | bytes[sos + 3]);
    for (; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] != 0 && (bytes[i + 1] < 0xD0 || bytes[i + 1] > 0xD7)) {
            return i;
        }
    }
    return bytes.size();
}

// Keeps what a decoder streams into it, and checks the order of the calls.
class RecordingSink : public RowSink {
public:
    void begin(int width, int height) override
    {
        ++begins;
        picture = Bitmap(width, height);
    }
    void row(const std::uint8_t* bgr) override
    {
        if (begins != 1 || rows >= picture.height()) {
            ++misplacedRows;
            return;
        }
        std::memcpy(picture.row(rows), bgr, picture.stride());
        ++rows;
    }

    int begins = 0;
    int rows = 0;
    int misplacedRows = 0;
    Bitmap picture;
};

} // namespace palvina::test
