#include "Noise.h"

#include <cmath>

namespace palvina::synth {

namespace {

std::uint32_t Mix(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

std::uint32_t Hash32(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    return Mix(a ^ Mix((b + 0x9e3779b9U) ^ Mix(c + 0x85ebca6bU)));
}

float HashUnit(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    return static_cast<float>(Hash32(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise::lattice(std::int32_t ix, std::int32_t iy) const
{
    return HashUnit(seed_, static_cast<std::uint32_t>(ix), static_cast<std::uint32_t>(iy));
}

float ValueNoise::at(float x, float y) const
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx);
    const auto iy = static_cast<std::int32_t>(fy);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float v00 = lattice(ix, iy);
    const float v10 = lattice(ix + 1, iy);
    const float v01 = lattice(ix, iy + 1);
    const float v11 = lattice(ix + 1, iy + 1);
    const float top = v00 + (v10 - v00) * tx;
    const float bottom = v01 + (v11 - v01) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise::fbm(float x, float y, int octaves, float gain) const
{
    // About 37 degrees per octave, plus an offset, so the layers' lattices never line up.
    constexpr float kCos = 0.8f;
    constexpr float kSin = 0.6f;
    float sum = 0.0f;
    float norm = 0.0f;
    float amplitude = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * at(x, y);
        norm += amplitude;
        amplitude *= gain;
        const float rx = kCos * x - kSin * y;
        const float ry = kSin * x + kCos * y;
        x = rx * 2.0f + 17.3f;
        y = ry * 2.0f + 5.1f;
    }
    return sum / norm;
}

} // namespace palvina::synth
