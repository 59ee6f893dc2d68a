#include "PhotoScene.h"

#include "FloatImage.h"
#include "Noise.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace palvina::synth {

namespace {

struct House {
    float left, right, top;  // in fractions of width and height; the bottom is below the hill line
    Rgb wall;
    Rgb roof;
};

std::uint8_t Quantise(float v, float grain)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0f + grain), 0L, 255L));
}

} // namespace

Bitmap PaintPhoto(int width, int height, std::uint32_t seed)
{
    const ValueNoise sky(seed * 7 + 1);
    const ValueNoise ridge(seed * 7 + 2);
    const ValueNoise ground(seed * 7 + 3);
    const ValueNoise fine(seed * 7 + 4);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);

    // Skylines per column, once: far ridge, near hill, tree tops along the hill.
    std::vector<float> farLine(width), hillLine(width), treeLine(width);
    for (int x = 0; x < width; ++x) {
        const float u = static_cast<float>(x) / w;
        farLine[x] = 0.36f + 0.16f * ridge.fbm(u * 4.0f, 0.5f, 6);
        hillLine[x] = 0.58f + 0.1f * ridge.fbm(u * 2.5f + 30.0f, 3.5f, 5);
        // Conifers: a saw-tooth of triangles of varying height standing on the hill.
        const float cell = u * 90.0f;
        const float i = std::floor(cell);
        const auto id = static_cast<std::uint32_t>(i);
        const float tall = HashUnit(seed, id) < 0.45f ? 0.02f + 0.07f * HashUnit(seed, id, 1) : 0.0f;
        const float shape = 1.0f - std::abs(cell - i - 0.5f) * 2.0f;
        treeLine[x] = hillLine[x] - tall * shape;
    }
    const House houses[] = {
        {0.18f, 0.25f, 0.54f, FromHex(0xD9CDB8), FromHex(0x8A3B2B)},
        {0.27f, 0.31f, 0.57f, FromHex(0xC8B79A), FromHex(0x5B3A2E)},
        {0.64f, 0.73f, 0.55f, FromHex(0xE6E1D6), FromHex(0x3E4A57)},
    };

    const Rgb zenith = FromHex(0x2E5C9A);
    const Rgb horizon = FromHex(0xCFD9E2);
    const Rgb sunGlow = FromHex(0xFFE3B0);
    const Rgb farRock = FromHex(0x6A7C94);
    const Rgb grassLight = FromHex(0x7E9A3E);
    const Rgb grassDark = FromHex(0x3C5A22);
    const Rgb soil = FromHex(0x6E5A3A);
    const Rgb treeColour = FromHex(0x1F3520);

    Bitmap photo(width, height, PixelFormat::Bgr24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = photo.row(y);
        const float v = static_cast<float>(y) / h;
        for (int x = 0; x < width; ++x) {
            const float u = static_cast<float>(x) / w;
            const float px = static_cast<float>(x);
            const float py = static_cast<float>(y);
            Rgb c;
            if (v < farLine[x]) {
                c = Mix(zenith, horizon, SmoothStep(0.0f, 0.5f, v));
                const float du = (u - 0.72f) * 1.6f;
                const float dv = v - 0.3f;
                c = Mix(c, sunGlow, 0.6f * std::exp(-(du * du + dv * dv) * 18.0f));
                const float cloud = sky.fbm(u * 5.0f, v * 11.0f, 7);
                c = Mix(c, Scale(FromHex(0xF4F4F2), 0.8f + 0.3f * cloud), SmoothStep(0.5f, 0.75f, cloud));
            } else if (v < treeLine[x]) {
                // Far ridge: hazier towards its foot, rock texture on top.
                const float rock = 0.7f * ground.fbm(px / 9.0f, py / 9.0f, 4) + 0.3f * fine.at(px * 0.8f, py * 0.8f);
                c = Scale(farRock, 0.8f + 0.35f * rock);
                c = Mix(c, horizon, 0.55f * SmoothStep(farLine[x], farLine[x] + 0.2f, v));
            } else if (v < hillLine[x]) {
                c = Scale(treeColour, 0.7f + 0.6f * fine.fbm(px / 2.0f, py / 3.0f, 2));
            } else {
                // Meadow: broad patches, grass texture down to single pixels, a path of soil.
                const float patch = ground.fbm(u * 6.0f, v * 6.0f, 4);
                const float blades =
                    0.6f * fine.fbm(px / 1.6f, py / 4.0f, 3) + 0.4f * fine.at(px * 0.9f, py * 0.6f);
                c = Mix(grassDark, grassLight, SmoothStep(0.3f, 0.7f, patch));
                c = Scale(c, 0.5f + 0.9f * blades);
                const float path = std::abs(u - 0.45f - 0.25f * (v - 0.6f) + 0.04f * patch);
                const float onPath = SmoothStep(0.03f, 0.02f, path) * SmoothStep(0.6f, 0.7f, v);
                c = Mix(c, Scale(soil, 0.8f + 0.4f * blades), onPath);
                // Light falls off towards the bottom edge.
                c = Scale(c, 1.05f - 0.35f * v);
            }
            for (const House& house : houses) {
                if (u >= house.left && u < house.right && v >= house.top - 0.04f && v < hillLine[x] + 0.02f) {
                    const bool roof = v < house.top;
                    const float wx = (u - house.left) / (house.right - house.left);
                    const float bay = std::fmod(wx * 5.0f, 1.0f);
                    const bool window = !roof && bay > 0.35f && bay < 0.65f && v > house.top + 0.008f
                                        && v < house.top + 0.022f;
                    c = roof ? house.roof : (window ? FromHex(0x2A2F36) : house.wall);
                    c = Scale(c, 0.9f + 0.15f * fine.at(px / 1.5f, py / 1.5f));
                }
            }
            // Sensor grain, a little stronger in the shadows, the same on all channels plus chroma.
            const float luma = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
            const float amount = 4.0f + 6.0f * (1.0f - luma);
            const auto ux = static_cast<std::uint32_t>(x);
            const auto uy = static_cast<std::uint32_t>(y);
            const float g = (HashUnit(seed, ux, uy) - 0.5f) * amount;
            const float chroma = (HashUnit(seed + 1, ux, uy) - 0.5f) * 3.0f;
            row[x * 3] = Quantise(c.b, g - chroma);
            row[x * 3 + 1] = Quantise(c.g, g);
            row[x * 3 + 2] = Quantise(c.r, g + chroma);
        }
    }
    return photo;
}

} // namespace palvina::synth
