#include "compose/JpegCodec.h"

#include "compose/JpegErrorManager.h"
#include "compose/JpegFileSource.h"
#include "compose/PictureFile.h"
#include "compose/RowSink.h"
#include "files/Errors.h"

#include <algorithm>
#include <exception>

namespace palvina {

namespace {

// libjpeg's own working memory (coefficient buffers of progressive pictures) is capped, and so
// is the number of scans: a hostile file could otherwise take gigabytes or minutes.
constexpr long kMaxJpegMemory = 512L << 20;
constexpr int kMaxJpegScans = 500;
// Scanlines fetched per jpeg_read_scanlines call: one row group of the usual sampling factors.
constexpr JDIMENSION kRowsPerRead = 16;

void CheckScanCount(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor) {
        const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (dinfo->input_scan_number > kMaxJpegScans) {
            FailJpeg(cinfo, "JPEG picture has more than %d scans", kMaxJpegScans);
        }
    }
}

// x * y / 255, rounded, for 8-bit x and y.
inline std::uint8_t MulDiv255(unsigned x, unsigned y)
{
    const unsigned t = x * y + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// CMYK (or YCCK decoded to CMYK) to BGR. Adobe's files store the inverted inks (255 - ink), so
// there red = C * K / 255 on the stored values; plain CMYK stores the inks themselves.
void CmykToBgr(const std::uint8_t* cmyk, int width, bool adobeInverted, std::uint8_t* bgr)
{
    const unsigned flip = adobeInverted ? 0 : 255;
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3] ^ flip;
        bgr[0] = MulDiv255(cmyk[2] ^ flip, k);
        bgr[1] = MulDiv255(cmyk[1] ^ flip, k);
        bgr[2] = MulDiv255(cmyk[0] ^ flip, k);
    }
}

// Picks the largest reduction (1/8, 1/4 or 1/2) whose output is still at least min in each
// given direction; libjpeg then decodes at that size directly from the DCT coefficients. The
// other M/8 steps are left out: libjpeg-turbo has no fast code for them. Measured on 12 and
// 24 MP photos, 5/8 to 7/8 decode slower than the full size, and 3/8 plus the resampler is no
// faster overall than 4/8 plus the resampler.
void ChooseScale(j_decompress_ptr cinfo, int minWidth, int minHeight)
{
    cinfo->scale_num = 8;
    cinfo->scale_denom = 8;
    if (minWidth <= 0 && minHeight <= 0) {
        return;
    }
    for (unsigned m : {1u, 2u, 4u}) {
        cinfo->scale_num = m;
        jpeg_calc_output_dimensions(cinfo);
        if ((minWidth <= 0 || cinfo->output_width >= static_cast<JDIMENSION>(minWidth))
            && (minHeight <= 0 || cinfo->output_height >= static_cast<JDIMENSION>(minHeight))) {
            return;
        }
    }
    cinfo->scale_num = 8;
}

// The compressed data: an open file (read in blocks) or bytes in memory.
struct JpegInput {
    int fd = -1;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

void UseSource(j_decompress_ptr cinfo, const JpegInput& input)
{
    if (input.fd >= 0) {
        UseJpegFileSource(cinfo, input.fd);
    } else {
        jpeg_mem_src(cinfo, input.data, static_cast<unsigned long>(input.size));
    }
}

// Where decoded rows go: a caller's sink, or a bitmap allocated at the decoded size. The C++
// side may throw; its exception is kept here and rethrown once libjpeg is cleaned up.
struct RowTarget {
    RowSink* sink = nullptr;
    Bitmap* bitmap = nullptr;
    std::exception_ptr error;
};

bool BeginTarget(RowTarget& target, int width, int height) noexcept
{
    try {
        if (target.bitmap) {
            *target.bitmap = Bitmap(width, height);
        } else {
            target.sink->begin(width, height);
        }
        return true;
    } catch (...) {
        target.error = std::current_exception();
        return false;
    }
}

bool DeliverRow(RowTarget& target, const std::uint8_t* bgr) noexcept
{
    try {
        target.sink->row(bgr);
        return true;
    } catch (...) {
        target.error = std::current_exception();
        return false;
    }
}

// Reads every scanline into the target; returns false when the target failed.
bool ReadRows(j_decompress_ptr cinfo, RowTarget& target, bool cmyk)
{
    const int width = static_cast<int>(cinfo->output_width);
    if (target.bitmap && !cmyk) {
        // Straight into the bitmap's rows.
        JSAMPROW rows[kRowsPerRead];
        while (cinfo->output_scanline < cinfo->output_height) {
            const JDIMENSION first = cinfo->output_scanline;
            const JDIMENSION count = std::min(kRowsPerRead, cinfo->output_height - first);
            for (JDIMENSION i = 0; i < count; ++i) {
                rows[i] = target.bitmap->row(static_cast<int>(first + i));
            }
            if (jpeg_read_scanlines(cinfo, rows, count) == 0) {
                FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), "JPEG decoding stalled");
            }
        }
        return true;
    }
    // A few rows at a time through a small buffer from libjpeg's pool (freed with the decoder).
    auto common = reinterpret_cast<j_common_ptr>(cinfo);
    const JSAMPARRAY buffer = (*cinfo->mem->alloc_sarray)(
        common, JPOOL_IMAGE, cinfo->output_width * static_cast<JDIMENSION>(cinfo->output_components), kRowsPerRead);
    JSAMPROW converted = nullptr;
    if (cmyk && !target.bitmap) {
        converted = static_cast<JSAMPROW>((*cinfo->mem->alloc_large)(common, JPOOL_IMAGE, cinfo->output_width * 3));
    }
    const bool inverted = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION first = cinfo->output_scanline;
        const JDIMENSION count = jpeg_read_scanlines(cinfo, buffer, kRowsPerRead);
        if (count == 0) {
            FailJpeg(common, "JPEG decoding stalled");
        }
        for (JDIMENSION i = 0; i < count; ++i) {
            const std::uint8_t* bgr = buffer[i];
            if (cmyk) {
                std::uint8_t* out = target.bitmap ? target.bitmap->row(static_cast<int>(first + i)) : converted;
                CmykToBgr(buffer[i], width, inverted, out);
                bgr = out;
            }
            if (!target.bitmap && !DeliverRow(target, bgr)) {
                return false;
            }
        }
    }
    return true;
}

// The one place that runs the decoder. Only plain data lives between setjmp and the library
// calls; every way out goes through jpeg_destroy_decompress. Throws PictureError (the library's
// message, after `context` when given) or what the target threw.
void DecodeJpeg(const JpegInput& input, int minWidth, int minHeight, RowTarget& target, const std::string* context)
{
    jpeg_decompress_struct cinfo{};
    JpegErrorManager jerr;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = CheckScanCount;
    cinfo.err = InitJpegErrorManager(jerr);
    if (setjmp(jerr.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        cinfo.mem->max_memory_to_use = kMaxJpegMemory;
        cinfo.progress = &progress;
        UseSource(&cinfo, input);
        jpeg_read_header(&cinfo, TRUE);
        if (!IsAcceptablePictureSize(cinfo.image_width, cinfo.image_height)) {
            FailJpeg(reinterpret_cast<j_common_ptr>(&cinfo), "JPEG picture size %u x %u is not supported",
                     cinfo.image_width, cinfo.image_height);
        }
        const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
        cinfo.dct_method = JDCT_ISLOW;
        ChooseScale(&cinfo, minWidth, minHeight);
        jpeg_start_decompress(&cinfo);
        if (BeginTarget(target, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height))
            && ReadRows(&cinfo, target, cmyk)) {
            jerr.allRowsRead = true;
            jpeg_finish_decompress(&cinfo);
        }
    }
    jpeg_destroy_decompress(&cinfo);
    if (jerr.message[0] != '\0') {
        throw PictureError(context ? *context + ": " + jerr.message : std::string(jerr.message));
    }
    if (target.error) {
        std::rethrow_exception(target.error);
    }
}

// Header only.
PictureSize ReadHeaderSize(const JpegInput& input, const std::string* context)
{
    jpeg_decompress_struct cinfo{};
    JpegErrorManager jerr;
    PictureSize result;
    cinfo.err = InitJpegErrorManager(jerr);
    if (setjmp(jerr.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        UseSource(&cinfo, input);
        jpeg_read_header(&cinfo, TRUE);
        result.width = static_cast<int>(cinfo.image_width);
        result.height = static_cast<int>(cinfo.image_height);
    }
    jpeg_destroy_decompress(&cinfo);
    if (jerr.message[0] != '\0') {
        throw PictureError(context ? *context + ": " + jerr.message : std::string(jerr.message));
    }
    return result;
}

} // namespace

PictureSize ReadJpegSize(const std::string& path)
{
    const PictureFile file(path);
    return ReadHeaderSize(JpegInput{file.fd()}, &path);
}

PictureSize ReadJpegMemorySize(const std::uint8_t* data, std::size_t size)
{
    return ReadHeaderSize(JpegInput{-1, data, size}, nullptr);
}

Bitmap DecodeJpegMemory(const std::uint8_t* data, std::size_t size)
{
    Bitmap bitmap;
    RowTarget target;
    target.bitmap = &bitmap;
    DecodeJpeg(JpegInput{-1, data, size}, 0, 0, target, nullptr);
    return bitmap;
}

Bitmap DecodeJpegFile(const std::string& path, int minWidth, int minHeight)
{
    const PictureFile file(path);
    Bitmap bitmap;
    RowTarget target;
    target.bitmap = &bitmap;
    DecodeJpeg(JpegInput{file.fd()}, minWidth, minHeight, target, &path);
    return bitmap;
}

void DecodeJpegMemoryRows(const std::uint8_t* data, std::size_t size, int minWidth, int minHeight, RowSink& sink)
{
    RowTarget target;
    target.sink = &sink;
    DecodeJpeg(JpegInput{-1, data, size}, minWidth, minHeight, target, nullptr);
}

void DecodeJpegFileRows(const std::string& path, int minWidth, int minHeight, RowSink& sink)
{
    const PictureFile file(path);
    RowTarget target;
    target.sink = &sink;
    DecodeJpeg(JpegInput{file.fd()}, minWidth, minHeight, target, &path);
}

} // namespace palvina
