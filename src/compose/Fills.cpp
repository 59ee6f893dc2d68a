#include "compose/Fills.h"

#include "compose/PictureLoad.h"
#include "files/ColorText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace palvina {

namespace {

// Writes `count` pixels of one colour at `out` (3 or 4 bytes each), doubling the filled part.
void FillPixels(std::uint8_t* out, int bytesPerPixel, int count, std::uint32_t rgb)
{
    if (count <= 0) {
        return;
    }
    out[0] = static_cast<std::uint8_t>(rgb >> 16);
    out[1] = static_cast<std::uint8_t>(rgb >> 8);
    out[2] = static_cast<std::uint8_t>(rgb);
    if (bytesPerPixel == 4) {
        out[3] = 0;
    }
    const std::size_t total = static_cast<std::size_t>(count) * bytesPerPixel;
    std::size_t done = static_cast<std::size_t>(bytesPerPixel);
    while (done < total) {
        const std::size_t chunk = std::min(done, total - done);
        std::memcpy(out + done, out, chunk);
        done += chunk;
    }
}

// Copies row 0 of the bitmap into every other row.
void RepeatFirstRow(Bitmap& bitmap)
{
    for (int y = 1; y < bitmap.height(); ++y) {
        std::memcpy(bitmap.row(y), bitmap.row(0), bitmap.stride());
    }
}

std::uint8_t Component(std::uint32_t colour, int shift)
{
    return static_cast<std::uint8_t>(colour >> shift);
}

// The gradient colour of line i of n.
std::uint32_t GradientColour(int i, int n, std::uint32_t end, std::uint32_t start)
{
    const float fraction = static_cast<float>(static_cast<double>(i) / n);
    const double x = fraction;
    std::uint32_t colour = 0;
    for (const int shift : {0, 8, 16}) {
        const double value = x * Component(end, shift) + (1.0 - x) * Component(start, shift);
        colour |= static_cast<std::uint32_t>(std::nearbyint(value)) << shift;
    }
    return colour;
}

} // namespace

void FillSolid(Bitmap& bitmap, std::uint32_t colour)
{
    if (bitmap.empty()) {
        return;
    }
    FillPixels(bitmap.row(0), bitmap.bytesPerPixel(), bitmap.width(), ColorToRgb(colour));
    RepeatFirstRow(bitmap);
}

void FillRectangle(Bitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t colour)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap.width());
    bottom = std::min(bottom, bitmap.height());
    const std::uint32_t rgb = ColorToRgb(colour);
    const int bpp = bitmap.bytesPerPixel();
    for (int y = top; y < bottom && left < right; ++y) {
        FillPixels(bitmap.row(y) + static_cast<std::size_t>(left) * bpp, bpp, right - left, rgb);
    }
}

void FillGradient(Bitmap& bitmap, int direction, std::uint32_t endColour, std::uint32_t startColour)
{
    if (bitmap.empty() || (direction != 0 && direction != 1)) {
        return;
    }
    const std::uint32_t end = ColorToRgb(endColour);
    const std::uint32_t start = ColorToRgb(startColour);
    const int bpp = bitmap.bytesPerPixel();
    // Line n lies just outside the bitmap, so lines 0 to n - 1 are all that show.
    if (direction == 0) {
        const int n = bitmap.height();
        for (int i = 0; i < n; ++i) {
            FillPixels(bitmap.row(i), bpp, bitmap.width(), GradientColour(i, n, end, start));
        }
        return;
    }
    const int n = bitmap.width();
    std::uint8_t* first = bitmap.row(0);
    for (int i = 0; i < n; ++i) {
        FillPixels(first + static_cast<std::size_t>(i) * bpp, bpp, 1, GradientColour(i, n, end, start));
    }
    RepeatFirstRow(bitmap);
}

void FillTiled(Bitmap& bitmap, const std::string& picturePath)
{
    Bitmap tile = LoadBmpOrJpeg(picturePath);
    if (bitmap.empty()) {
        return;
    }
    tile.setFormat(bitmap.format());
    const std::size_t tileStride = tile.stride();
    const std::size_t stride = bitmap.stride();
    // The first tile's height of rows is built from the picture, the rest copies rows above.
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* out = bitmap.row(y);
        if (y >= tile.height()) {
            std::memcpy(out, bitmap.row(y - tile.height()), stride);
            continue;
        }
        for (std::size_t x = 0; x < stride; x += tileStride) {
            std::memcpy(out + x, tile.row(y), std::min(tileStride, stride - x));
        }
    }
}

} // namespace palvina
