#include "compose/Bitmap.h"

#include "files/Errors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace palvina {

bool IsAcceptablePictureSize(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide
        && width * height <= kMaxPicturePixels;
}

Bitmap::Bitmap(int width, int height, PixelFormat format)
    : width_(width), height_(height), format_(format)
{
    if (!IsAcceptablePictureSize(width, height)) {
        throw PictureError("Picture size " + std::to_string(width) + " x " + std::to_string(height)
                           + " is not supported");
    }
    data_ = PixelBuffer(stride() * static_cast<std::size_t>(height_));
}

void Bitmap::setFormat(PixelFormat format)
{
    if (format == format_) {
        return;
    }
    Bitmap converted(width_, height_, format);
    const int inBpp = bytesPerPixel();
    const int outBpp = converted.bytesPerPixel();
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* in = row(y);
        std::uint8_t* out = converted.row(y);
        for (int x = 0; x < width_; ++x, in += inBpp, out += outBpp) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    *this = std::move(converted);
}

void Bitmap::resize(int width, int height)
{
    if (width == width_ && height == height_) {
        return;
    }
    Bitmap resized(width, height, format_);
    const std::size_t copyBytes = static_cast<std::size_t>(std::min(width, width_)) * bytesPerPixel();
    const int copyRows = std::min(height, height_);
    for (int y = 0; y < copyRows; ++y) {
        std::memcpy(resized.row(y), row(y), copyBytes);
    }
    *this = std::move(resized);
}

std::uint32_t Bitmap::pixel(int x, int y) const
{
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * bytesPerPixel();
    return static_cast<std::uint32_t>(p[2]) | static_cast<std::uint32_t>(p[1]) << 8
         | static_cast<std::uint32_t>(p[0]) << 16;
}

void Bitmap::setPixel(int x, int y, std::uint32_t colour)
{
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * bytesPerPixel();
    p[0] = static_cast<std::uint8_t>(colour >> 16);
    p[1] = static_cast<std::uint8_t>(colour >> 8);
    p[2] = static_cast<std::uint8_t>(colour);
}

} // namespace palvina
