#include "compose/PlaceSink.h"

#include "files/Errors.h"

#include <algorithm>
#include <cstring>

namespace palvina {

void PlaceSink::begin(int width, int height)
{
    began_ = true;
    width_ = width;
    height_ = height;
    row_ = 0;
}

void PlaceSink::row(const std::uint8_t* bgr)
{
    if (!began_ || row_ >= height_) {
        throw PictureError("Picture rows do not match the announced size");
    }
    const long long y = static_cast<long long>(y_) + row_++;
    if (y < 0 || y >= canvas_.height()) {
        return;
    }
    const int left = std::max(0, -x_);
    const int right = static_cast<int>(std::min<long long>(width_, static_cast<long long>(canvas_.width()) - x_));
    if (left >= right) {
        return;
    }
    const std::uint8_t* in = bgr + static_cast<std::size_t>(left) * 3;
    const int bpp = canvas_.bytesPerPixel();
    std::uint8_t* out = canvas_.row(static_cast<int>(y)) + static_cast<std::size_t>(x_ + left) * bpp;
    if (bpp == 3) {
        std::memcpy(out, in, static_cast<std::size_t>(right - left) * 3);
        return;
    }
    for (int i = left; i < right; ++i, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0;
    }
}

} // namespace palvina
