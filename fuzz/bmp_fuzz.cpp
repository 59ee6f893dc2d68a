// libFuzzer target: arbitrary bytes as a BMP file.
#include "compose/BmpFile.h"
#include "files/Errors.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Files declaring more pixels than this are skipped: allocating and clearing hundreds of
// megabytes for a tiny RLE file is allowed behaviour, but it would slow the search down.
constexpr std::int64_t kMaxFuzzPixels = 4'000'000;

std::int64_t DeclaredPixels(const std::uint8_t* data, std::size_t size)
{
    if (size < 26) {
        return 0;
    }
    auto u16 = [&](std::size_t i) { return static_cast<std::int64_t>(data[i] | data[i + 1] << 8); };
    auto s32 = [&](std::size_t i) {
        return static_cast<std::int64_t>(static_cast<std::int32_t>(
            static_cast<std::uint32_t>(u16(i)) | static_cast<std::uint32_t>(u16(i + 2)) << 16));
    };
    if (u16(14) == 12) {
        return u16(18) * u16(20);
    }
    return std::llabs(s32(18)) * std::llabs(s32(22));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (DeclaredPixels(data, size) > kMaxFuzzPixels) {
        return 0;
    }
    try {
        const palvina::Bitmap bitmap = palvina::DecodeBmp(data, size);
        if (bitmap.empty() || bitmap.format() != palvina::PixelFormat::Bgr24) {
            std::abort();
        }
        // Touch every pixel so that uninitialised or misplaced rows show up.
        unsigned sum = 0;
        for (int y = 0; y < bitmap.height(); ++y) {
            const std::uint8_t* row = bitmap.row(y);
            for (std::size_t i = 0; i < bitmap.stride(); ++i) {
                sum += row[i];
            }
        }
        volatile unsigned sink = sum;
        (void)sink;
    } catch (const palvina::PictureError&) {
    }
    return 0;
}
