#include "compose/JpegCodec.h"

#include "compose/JpegErrorManager.h"
#include "files/AtomicFile.h"
#include "files/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace palvina {

namespace {

constexpr JDIMENSION kRowsPerWrite = 16;

// The compressed file as jpeg_mem_dest leaves it: a malloc'ed buffer that we free.
struct EncodedJpeg {
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

struct FreeDeleter {
    void operator()(unsigned char* p) const { std::free(p); }
};

// The one place that runs the encoder; every way out goes through jpeg_destroy_compress.
// Throws PictureError with the library's message.
void EncodeToMemory(const Bitmap& bitmap, int quality, EncodedJpeg& out)
{
    jpeg_compress_struct cinfo{};
    JpegErrorManager jerr;
    cinfo.err = InitJpegErrorManager(jerr);
    if (setjmp(jerr.jump) == 0) {
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &out.data, &out.size);
        cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
        cinfo.image_height = static_cast<JDIMENSION>(bitmap.height());
        cinfo.input_components = bitmap.bytesPerPixel();
        cinfo.in_color_space = bitmap.format() == PixelFormat::Bgr24 ? JCS_EXT_BGR : JCS_EXT_BGRX;
        // Defaults: YCbCr with 4:2:0 chroma, Huffman-coded baseline.
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        JSAMPROW rows[kRowsPerWrite];
        while (cinfo.next_scanline < cinfo.image_height) {
            const JDIMENSION first = cinfo.next_scanline;
            const JDIMENSION count = std::min(kRowsPerWrite, cinfo.image_height - first);
            for (JDIMENSION i = 0; i < count; ++i) {
                // libjpeg only reads the input rows.
                rows[i] = const_cast<JSAMPROW>(bitmap.row(static_cast<int>(first + i)));
            }
            jpeg_write_scanlines(&cinfo, rows, count);
        }
        jpeg_finish_compress(&cinfo);
    }
    jpeg_destroy_compress(&cinfo);
    if (jerr.message[0] != '\0') {
        std::free(out.data);
        out.data = nullptr;
        throw PictureError(std::string("JPEG encoding failed: ") + jerr.message);
    }
}

} // namespace

void EncodeJpegFile(const Bitmap& bitmap, const std::string& path, int quality)
{
    if (bitmap.empty()) {
        throw PictureError("Cannot save an empty picture as " + path);
    }
    EncodedJpeg encoded;
    EncodeToMemory(bitmap, std::clamp(quality, 1, 100), encoded);
    const std::unique_ptr<unsigned char, FreeDeleter> owner(encoded.data);
    AtomicFileWriter writer(path);
    writer.write(encoded.data, encoded.size);
    // Like the composed wallpaper, a converted picture is not pushed to the disk at once.
    writer.commit(false);
}

} // namespace palvina
