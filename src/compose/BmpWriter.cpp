#include "compose/BmpFile.h"

#include "files/AtomicFile.h"
#include "files/Errors.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace palvina {

namespace {

constexpr std::size_t kHeadersSize = 14 + 40;
// Rows are gathered into chunks of about this size, so a screen-size picture takes a handful of
// write calls instead of one per row.
constexpr std::size_t kChunkBytes = 1 << 20;

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

void CopyRow24(const Bitmap& bitmap, int y, std::uint8_t* out)
{
    const std::uint8_t* in = bitmap.row(y);
    if (bitmap.format() == PixelFormat::Bgr24) {
        std::memcpy(out, in, bitmap.stride());
        return;
    }
    // Four bytes a pixel, each store's pad byte overwritten by the next pixel; the last pixel
    // copies only its three.
    const int last = bitmap.width() - 1;
    for (int x = 0; x < last; ++x, in += 4, out += 3) {
        std::memcpy(out, in, 4);
    }
    std::memcpy(out, in, 3);
}

} // namespace

void WriteBmpFile(const Bitmap& bitmap, const std::string& path, bool flush)
{
    if (bitmap.empty()) {
        throw PictureError("Cannot save an empty picture as " + path);
    }
    const int width = bitmap.width();
    const int height = bitmap.height();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const std::size_t imageBytes = stride * static_cast<std::size_t>(height);

    // Each chunk holds whole padded rows; the padding bytes stay zero.
    const std::size_t rowsPerChunk = std::clamp<std::size_t>(kChunkBytes / stride, 1, static_cast<std::size_t>(height));
    const std::size_t chunkBytes = std::max(rowsPerChunk * stride, kHeadersSize);
    const auto chunk = std::make_unique<std::uint8_t[]>(chunkBytes);

    std::uint8_t header[kHeadersSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, static_cast<std::uint32_t>(kHeadersSize + imageBytes));
    Put32(header + 10, static_cast<std::uint32_t>(kHeadersSize));
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<std::uint32_t>(width));
    Put32(header + 22, static_cast<std::uint32_t>(height));
    Put16(header + 26, 1);   // planes
    Put16(header + 28, 24);  // bits per pixel; compression BI_RGB = 0
    Put32(header + 34, static_cast<std::uint32_t>(imageBytes));

    AtomicFileWriter writer(path);
    writer.write(header, sizeof header);
    // Bottom-up: the file starts with the picture's last row.
    int y = height - 1;
    while (y >= 0) {
        std::size_t used = 0;
        for (std::size_t i = 0; i < rowsPerChunk && y >= 0; ++i, --y, used += stride) {
            CopyRow24(bitmap, y, chunk.get() + used);
        }
        writer.write(chunk.get(), used);
    }
    writer.commit(flush);
}

} // namespace palvina
