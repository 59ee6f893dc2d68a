#include "compose/PlainCopy.h"

#include <algorithm>
#include <cstring>

namespace palvina {

void PlainCopy(const Bitmap& source, Bitmap& dest, int x, int y)
{
    const int left = std::max(0, -x);
    const int top = std::max(0, -y);
    const int right = static_cast<int>(std::min<long long>(source.width(), 0LL + dest.width() - x));
    const int bottom = static_cast<int>(std::min<long long>(source.height(), 0LL + dest.height() - y));
    if (left >= right || top >= bottom) {
        return;
    }
    const int inBpp = source.bytesPerPixel();
    const int outBpp = dest.bytesPerPixel();
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* in = source.row(row) + static_cast<std::size_t>(left) * inBpp;
        std::uint8_t* out = dest.row(y + row) + static_cast<std::size_t>(x + left) * outBpp;
        if (inBpp == outBpp) {
            std::memcpy(out, in, static_cast<std::size_t>(right - left) * inBpp);
            continue;
        }
        for (int i = left; i < right; ++i, in += inBpp, out += outBpp) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if (outBpp == 4) {
                out[3] = 0;
            }
        }
    }
}

void PlaceRow(const std::uint8_t* bgr, int width, Bitmap& dest, int x, int y)
{
    if (y < 0 || y >= dest.height()) {
        return;
    }
    const int left = std::max(0, -x);
    const int right = static_cast<int>(std::min<long long>(width, static_cast<long long>(dest.width()) - x));
    if (left >= right) {
        return;
    }
    const std::uint8_t* in = bgr + static_cast<std::size_t>(left) * 3;
    const int bpp = dest.bytesPerPixel();
    std::uint8_t* out = dest.row(y) + static_cast<std::size_t>(x + left) * bpp;
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
