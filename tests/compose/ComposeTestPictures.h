#pragma once

#include "compose/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>

namespace palvina::test {

// A 24-bit picture whose pixel (x, y) has the colour colourAt(x, y) (0x00BBGGRR).
inline Bitmap MakePicture(int width, int height, const std::function<std::uint32_t(int, int)>& colourAt)
{
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.setPixel(x, y, colourAt(x, y));
        }
    }
    return bitmap;
}

inline Bitmap MakeSolid(int width, int height, std::uint32_t colour)
{
    return MakePicture(width, height, [colour](int, int) { return colour; });
}

// Random pixels, the same for the same seed.
inline Bitmap MakeNoise(int width, int height, unsigned seed)
{
    std::mt19937 engine(seed);
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.row(y);
        for (std::size_t i = 0; i < bitmap.stride(); ++i) {
            row[i] = static_cast<std::uint8_t>(engine());
        }
    }
    return bitmap;
}

// The largest difference of one colour component between two pictures of the same size.
inline int MaxComponentDifference(const Bitmap& a, const Bitmap& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const std::uint32_t p = a.pixel(x, y);
            const std::uint32_t q = b.pixel(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xFF)
                                                 - static_cast<int>((q >> shift) & 0xFF)));
            }
        }
    }
    return worst;
}

// True when every component of the two colours differs by at most `tolerance`.
inline bool ColourNear(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

} // namespace palvina::test
