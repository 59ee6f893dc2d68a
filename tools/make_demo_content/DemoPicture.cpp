#include "DemoPicture.h"

#include "PhotoScene.h"
#include "compose/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace palvina::demo {

namespace {

std::array<std::uint8_t, 256> Curve(float gain, int lift)
{
    std::array<std::uint8_t, 256> curve{};
    for (int v = 0; v < 256; ++v) {
        const long out = std::lround(static_cast<float>(v) * gain) + lift;
        curve[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(out, 0L, 255L));
    }
    return curve;
}

void ApplyTint(Bitmap& picture, const Tint& tint)
{
    const auto blue = Curve(tint.blue, tint.lift);
    const auto green = Curve(tint.green, tint.lift);
    const auto red = Curve(tint.red, tint.lift);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
            p[0] = blue[p[0]];
            p[1] = green[p[1]];
            p[2] = red[p[2]];
        }
    }
}

void Mirror(Bitmap& picture)
{
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        for (int left = 0, right = width - 1; left < right; ++left, --right) {
            for (int k = 0; k < 3; ++k) {
                std::swap(row[left * 3 + k], row[right * 3 + k]);
            }
        }
    }
}

} // namespace

Bitmap PaintDemoPicture(int width, int height, std::uint32_t seed, const Tint& tint, bool mirrored)
{
    Bitmap picture = synth::PaintPhoto(width, height, seed);
    ApplyTint(picture, tint);
    if (mirrored) {
        Mirror(picture);
    }
    return picture;
}

Bitmap PaintThumbnail(std::uint32_t seed, const Tint& tint)
{
    const Bitmap scene = PaintDemoPicture(kThumbnailWidth * 3, kThumbnailHeight * 3, seed, tint, false);
    Bitmap thumbnail(kThumbnailWidth, kThumbnailHeight);
    SmoothStretch(scene, thumbnail);
    return thumbnail;
}

} // namespace palvina::demo
