#pragma once

#include "compose/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace palvina::synth {

// An RGB colour, components nominally in [0, 1].
struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t);
Rgb Scale(const Rgb& c, float k);
Rgb Add(const Rgb& a, const Rgb& b);
// 0xRRGGBB as written in design tools, to components in [0, 1].
Rgb FromHex(std::uint32_t rrggbb);

// A picture being painted in floating point, so that many soft layers add up without banding;
// turned into an 8-bit Bitmap once at the end.
class FloatImage {
public:
    FloatImage(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }

    Rgb get(int x, int y) const;
    void set(int x, int y, const Rgb& c);

    // 24-bit BGR with a little hash dither, which keeps smooth gradients from
    // banding once they go through JPEG.
    Bitmap toBitmap(std::uint32_t ditherSeed) const;

private:
    std::size_t index(int x, int y) const { return (static_cast<std::size_t>(y) * width_ + x) * 3; }

    int width_;
    int height_;
    std::vector<float> data_;
};

} // namespace palvina::synth
