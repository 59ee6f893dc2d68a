#include "platform/RootCanvas.h"

#include "compose/PlainCopy.h"
#include "compose/Resampler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace palvina {

namespace {

// The rounded quotient of two non-negative products, at least 1.
int ScaledSide(std::int64_t side, std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t value = (side * numerator + denominator / 2) / denominator;
    return static_cast<int>(std::max<std::int64_t>(1, value));
}

void Tile(const Bitmap& picture, Bitmap& canvas)
{
    Bitmap source = picture;
    source.setFormat(PixelFormat::Bgrx32);
    const std::size_t pictureRow = source.stride();
    const std::size_t canvasRow = canvas.stride();
    for (int y = 0; y < canvas.height(); ++y) {
        std::uint8_t* out = canvas.row(y);
        // One copy of the picture's row, then the filled part doubled until the row is full.
        std::size_t filled = std::min(pictureRow, canvasRow);
        std::memcpy(out, source.row(y % source.height()), filled);
        while (filled < canvasRow) {
            const std::size_t chunk = std::min(filled, canvasRow - filled);
            std::memcpy(out + filled, out, chunk);
            filled += chunk;
        }
    }
}

void Fit(const Bitmap& picture, Bitmap& canvas)
{
    const std::int64_t w = picture.width();
    const std::int64_t h = picture.height();
    const std::int64_t sw = canvas.width();
    const std::int64_t sh = canvas.height();
    int width = canvas.width();
    int height = canvas.height();
    if (w * sh <= h * sw) {
        width = std::min(canvas.width(), ScaledSide(w, sh, h));
    } else {
        height = std::min(canvas.height(), ScaledSide(h, sw, w));
    }
    Bitmap scaled(width, height, PixelFormat::Bgrx32);
    SmoothStretch(picture, scaled);
    PlainCopy(scaled, canvas, (canvas.width() - width) / 2, (canvas.height() - height) / 2);
}

void Fill(const Bitmap& picture, Bitmap& canvas)
{
    // The largest part of the picture with the screen's proportions, from its middle, stretched
    // onto the screen: never a scaled copy larger than the screen.
    const std::int64_t w = picture.width();
    const std::int64_t h = picture.height();
    const std::int64_t sw = canvas.width();
    const std::int64_t sh = canvas.height();
    int cropWidth = picture.width();
    int cropHeight = picture.height();
    if (w * sh > h * sw) {
        cropWidth = std::min(picture.width(), ScaledSide(h, sw, sh));
    } else {
        cropHeight = std::min(picture.height(), ScaledSide(w, sh, sw));
    }
    Bitmap crop(cropWidth, cropHeight, picture.format());
    PlainCopy(picture, crop, -(picture.width() - cropWidth) / 2, -(picture.height() - cropHeight) / 2);
    SmoothStretch(crop, canvas);
}

} // namespace

Bitmap RenderRootCanvas(const Bitmap& picture, WallpaperMode mode, int width, int height)
{
    Bitmap canvas(width, height, PixelFormat::Bgrx32);
    if (picture.empty()) {
        return canvas;
    }
    switch (mode) {
    case WallpaperMode::None:
    case WallpaperMode::Tiled:
        Tile(picture, canvas);
        break;
    case WallpaperMode::Centred:
        PlainCopy(picture, canvas, (width - picture.width()) / 2, (height - picture.height()) / 2);
        break;
    case WallpaperMode::Stretched:
        SmoothStretch(picture, canvas);
        break;
    case WallpaperMode::Fit:
        Fit(picture, canvas);
        break;
    case WallpaperMode::Fill:
    case WallpaperMode::Span:
        Fill(picture, canvas);
        break;
    }
    return canvas;
}

} // namespace palvina
