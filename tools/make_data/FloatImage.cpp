#include "FloatImage.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace palvina::synth {

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& c, float k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Rgb Add(const Rgb& a, const Rgb& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Rgb FromHex(std::uint32_t rrggbb)
{
    return {static_cast<float>((rrggbb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rrggbb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rrggbb & 0xFF) / 255.0f};
}

FloatImage::FloatImage(int width, int height, Rgb fill)
    : width_(width), height_(height), data_(static_cast<std::size_t>(width) * height * 3)
{
    for (std::size_t i = 0; i < data_.size(); i += 3) {
        data_[i] = fill.r;
        data_[i + 1] = fill.g;
        data_[i + 2] = fill.b;
    }
}

Rgb FloatImage::get(int x, int y) const
{
    const float* p = &data_[index(x, y)];
    return {p[0], p[1], p[2]};
}

void FloatImage::set(int x, int y, const Rgb& c)
{
    float* p = &data_[index(x, y)];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

Bitmap FloatImage::toBitmap(std::uint32_t ditherSeed) const
{
    Bitmap out(width_, height_, PixelFormat::Bgr24);
    auto quantise = [](float v, float dither) {
        const float scaled = std::clamp(v, 0.0f, 1.0f) * 255.0f + dither;
        return static_cast<std::uint8_t>(std::clamp(std::lround(scaled), 0L, 255L));
    };
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = out.row(y);
        for (int x = 0; x < width_; ++x) {
            const float* p = &data_[index(x, y)];
            // One dither value for all three components keeps grays gray.
            const float dither = HashUnit(ditherSeed, static_cast<std::uint32_t>(x),
                                          static_cast<std::uint32_t>(y)) - 0.5f;
            row[x * 3] = quantise(p[2], dither);
            row[x * 3 + 1] = quantise(p[1], dither);
            row[x * 3 + 2] = quantise(p[0], dither);
        }
    }
    return out;
}

} // namespace palvina::synth
