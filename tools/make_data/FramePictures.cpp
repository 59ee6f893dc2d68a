#include "Catalogue.h"
#include "Noise.h"
#include "Shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace palvina::synth {

namespace {

// Frames are stretched to the screen; 16:10 sits between the common screen shapes.
constexpr int kWidth = 1600;
constexpr int kHeight = 1000;

template <typename ColourFn>
FloatImage PaintColour(ColourFn colour)
{
    FloatImage image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            image.set(x, y, colour(Point{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f}));
        }
    }
    return image;
}

// 1 in the middle, falling to 1 - strength in the corners.
float Vignette(Point p, float strength)
{
    const float dx = (p.x / kWidth - 0.5f) * 2.0f;
    const float dy = (p.y / kHeight - 0.5f) * 2.0f;
    return 1.0f - strength * SmoothStep(0.6f, 1.5f, std::sqrt(dx * dx + dy * dy));
}

// Screen blend of `light` with coverage `a`: brightens without ever clipping hard.
Rgb Screen(const Rgb& base, const Rgb& light, float a)
{
    return {1.0f - (1.0f - base.r) * (1.0f - light.r * a), 1.0f - (1.0f - base.g) * (1.0f - light.g * a),
            1.0f - (1.0f - base.b) * (1.0f - light.b * a)};
}

Rgb Multiply(const Rgb& base, const Rgb& tint, float a)
{
    return {base.r * (1.0f + (tint.r - 1.0f) * a), base.g * (1.0f + (tint.g - 1.0f) * a),
            base.b * (1.0f + (tint.b - 1.0f) * a)};
}

FloatImage Wood()
{
    constexpr float kPlank = 200.0f;
    const ValueNoise warp(0x300D1);
    const ValueNoise fibre(0x300D2);
    const Rgb light = FromHex(0xB9854F);
    const Rgb dark = FromHex(0x7A4B29);
    const Rgb late = FromHex(0x4E2E17);
    return PaintColour([&](Point p) {
        const float plank = std::floor(p.y / kPlank);
        const auto plankId = static_cast<std::uint32_t>(plank);
        const float v = p.y - plank * kPlank;
        // Grain runs along x; the warp bends the growth lines the way a sawn board shows them.
        const float bend = warp.fbm(p.x / 1100.0f + plank * 7.0f, p.y / 320.0f, 4);
        const float ripple = warp.fbm(p.x / 380.0f, p.y / 45.0f + plank * 3.0f, 2);
        const float density = 0.16f + 0.1f * HashUnit(0x300D5, plankId);
        const float lines = 0.5f + 0.5f * std::sin(v * density + bend * 20.0f + ripple * 1.2f + plank * 2.0f);
        const float latewood = std::pow(lines, 8.0f);
        Rgb c = Mix(light, dark, 0.4f * SmoothStep(0.1f, 0.9f, lines));
        c = Mix(c, late, 0.45f * latewood);
        // Fine fibres, long along the grain.
        const float f = fibre.fbm(p.x / 90.0f, p.y / 1.4f, 3);
        c = Scale(c, 0.93f + 0.14f * f);
        // Each plank its own tone, joints between them.
        c = Scale(c, 0.9f + 0.14f * HashUnit(0x300D3, plankId));
        const float seam = std::min(v, kPlank - v);
        const float joint = std::abs(p.x - (200.0f + 1200.0f * HashUnit(0x300D4, plankId)));
        const float gap = std::min(seam, joint);
        const float bevel = SmoothStep(0.0f, 2.0f, v) * SmoothStep(6.0f, 3.0f, v);  // lit edge below a seam
        c = Scale(c, 1.0f - 0.55f * SmoothStep(3.0f, 0.0f, gap) + 0.06f * bevel);
        // Warm light falling from the top right, where the album picture hangs.
        const float dx = (p.x - 1000.0f) / 900.0f;
        const float dy = (p.y - 420.0f) / 650.0f;
        c = Scale(c, 0.82f + 0.28f * std::exp(-(dx * dx + dy * dy)));
        return Scale(c, Vignette(p, 0.45f));
    });
}

FloatImage Paper()
{
    const ValueNoise grain(0xA9E1);
    const ValueNoise mottle(0xA9E2);
    const ValueNoise wash(0xA9E3);
    const Rgb cream = FromHex(0xF8F1E7);
    const Rgb lavender = FromHex(0xEADFEE);
    const Rgb peach = FromHex(0xF1B59C);
    const Rgb rose = FromHex(0xE5A0B8);
    const Rgb sage = FromHex(0xA9CBB6);
    return PaintColour([&](Point p) {
        const float t = std::clamp(0.6f * (1.0f - p.x / kWidth) + 0.5f * (p.y / kHeight) - 0.1f, 0.0f, 1.0f);
        Rgb c = Mix(cream, lavender, t);
        // Paper: broad mottling plus a fine tooth.
        c = Scale(c, 0.975f + 0.05f * mottle.fbm(p.x / 260.0f, p.y / 260.0f, 4));
        c = Scale(c, 0.985f + 0.03f * grain.fbm(p.x / 2.5f, p.y / 2.5f, 2));
        // Watercolour washes at the bottom left and, fainter, the top left: ragged edges where the
        // pigment pools a little darker.
        struct Wash {
            Point centre;
            float radius;
            float strength;
        };
        for (const Wash& w : {Wash{{110.0f, 940.0f}, 470.0f, 0.75f}, Wash{{30.0f, 50.0f}, 250.0f, 0.45f}}) {
            const float ragged = (wash.fbm(p.x / 210.0f, p.y / 210.0f, 5) - 0.5f) * 360.0f;
            const float d = std::hypot(p.x - w.centre.x, p.y - w.centre.y) + ragged - w.radius;
            const float body = SoftInside(d, 90.0f);
            const float pool = std::exp(-(d + 18.0f) * (d + 18.0f) / 500.0f) * 0.5f;
            const float hue = wash.fbm(p.x / 500.0f + 40.0f, p.y / 500.0f, 3);
            const Rgb pigment = hue < 0.5f ? Mix(sage, peach, SmoothStep(0.3f, 0.5f, hue))
                                           : Mix(peach, rose, SmoothStep(0.5f, 0.7f, hue));
            c = Multiply(c, pigment, w.strength * std::min(1.0f, body * 0.55f + pool));
        }
        // A soft shadow where the album picture will lie.
        const float shadow = SoftInside(RoundedBoxDistance(p, {1010.0f, 500.0f}, 560.0f, 400.0f, 40.0f), 260.0f);
        return Scale(c, 1.0f - 0.06f * shadow);
    });
}

FloatImage Cinema()
{
    const ValueNoise smoke(0xC1E1);
    const ValueNoise frameNoise(0xC1E2);
    const Rgb base = FromHex(0x0C0C10);
    const Rgb warm = FromHex(0x54392A);
    const Rgb haze = FromHex(0x243046);
    const Rgb filmBase = FromHex(0x121214);
    const Rgb backlight = FromHex(0xB8AE98);
    constexpr float kTilt = 0.06f;  // radians
    constexpr Point kStripCentre{190.0f, 500.0f};
    constexpr float kStripHalf = 115.0f;
    constexpr float kPitch = 56.0f;
    return PaintColour([&](Point p) {
        Rgb c = base;
        const float sx = (p.x - 1010.0f) / 760.0f;
        const float sy = (p.y - 470.0f) / 560.0f;
        c = Screen(c, warm, std::exp(-(sx * sx + sy * sy)));
        const float s = smoke.fbm(p.x / 380.0f, p.y / 240.0f, 5);
        c = Screen(c, haze, 0.55f * s * s * SmoothStep(200.0f, 1000.0f, p.y));

        // A film strip running down the left side, slightly tilted.
        const float cosA = std::cos(kTilt);
        const float sinA = std::sin(kTilt);
        const float lx = cosA * (p.x - kStripCentre.x) + sinA * (p.y - kStripCentre.y);
        const float ly = -sinA * (p.x - kStripCentre.x) + cosA * (p.y - kStripCentre.y);
        const Point local{lx, ly};
        const float stripShadow = SoftInside(std::abs(lx) - kStripHalf - 10.0f, 50.0f);
        c = Scale(c, 1.0f - 0.5f * stripShadow);
        const float strip = SoftInside(std::abs(lx) - kStripHalf, 1.5f);
        if (strip > 0.0f) {
            Rgb film = Scale(filmBase, 1.0f + 0.6f * SmoothStep(kStripHalf, 0.0f, std::abs(lx + 40.0f)));
            const float row = std::floor(ly / kPitch);
            const float holeY = (row + 0.5f) * kPitch;
            float hole = 0.0f;
            for (const float holeX : {-kStripHalf + 20.0f, kStripHalf - 20.0f}) {
                hole = std::max(hole, SoftInside(RoundedBoxDistance(local, {holeX, holeY}, 9.0f, 13.0f, 3.5f), 1.5f));
            }
            film = Mix(film, backlight, hole * 0.8f);
            // Picture frames: small dim scenes, two hole pitches tall.
            const float frameRow = std::floor(ly / (2.0f * kPitch));
            const float frameY = (frameRow + 0.5f) * 2.0f * kPitch;
            const float inFrame = SoftInside(RoundedBoxDistance(local, {0.0f, frameY}, 78.0f, 50.0f, 4.0f), 1.5f);
            if (inFrame > 0.0f) {
                const auto id = static_cast<std::uint32_t>(frameRow + 1000.0f);
                const float h = frameNoise.fbm(lx / 60.0f + HashUnit(0xC1E3, id) * 50.0f, ly / 60.0f, 4);
                const Rgb sky = Mix(FromHex(0x2E4C6E), FromHex(0xC98A52), HashUnit(0xC1E4, id));
                const Rgb ground = Mix(FromHex(0x1D2A1E), FromHex(0x5A3C2A), HashUnit(0xC1E5, id));
                const float horizon = SmoothStep(-10.0f, 10.0f, ly - frameY + (h - 0.5f) * 40.0f);
                const Rgb scene = Scale(Mix(sky, ground, horizon), 0.45f + 0.35f * h);
                film = Mix(film, scene, inFrame);
            }
            c = Mix(c, film, strip);
        }
        c = Scale(c, Vignette(p, 0.6f));
        // Film grain.
        const float grain = HashUnit(0xC1E6, static_cast<std::uint32_t>(p.x), static_cast<std::uint32_t>(p.y)) - 0.5f;
        return Add(c, Rgb{grain * 0.035f, grain * 0.035f, grain * 0.035f});
    });
}

FloatImage Bokeh()
{
    const ValueNoise nebula(0xB0E1);
    const Rgb topLeft = FromHex(0x0B1A3A);
    const Rgb bottomRight = FromHex(0x2C1244);
    const Rgb glow = FromHex(0x1E4C6E);
    FloatImage image = PaintColour([&](Point p) {
        const float t = std::clamp(0.55f * p.x / kWidth + 0.45f * p.y / kHeight, 0.0f, 1.0f);
        Rgb c = Mix(topLeft, bottomRight, t);
        const float n = nebula.fbm(p.x / 420.0f, p.y / 420.0f, 5);
        c = Screen(c, glow, 0.6f * SmoothStep(0.35f, 0.8f, n));
        return c;
    });

    // Out-of-focus lights, most of them along the left side and the bottom, few where the album
    // picture goes.
    static constexpr std::array kLights{0xFFD49A, 0xFF9FC6, 0x9EE4FF, 0xC9A9FF, 0xFFE8C2};
    int placed = 0;
    for (std::uint32_t i = 0; placed < 90 && i < 2000; ++i) {
        const float cx = std::pow(HashUnit(0xB0E2, i), 1.7f) * kWidth;
        const float cy = kHeight - std::pow(HashUnit(0xB0E3, i), 1.5f) * kHeight;
        const bool behindPicture = cx > 470.0f && cx < 1520.0f && cy > 80.0f && cy < 880.0f;
        if (behindPicture && HashUnit(0xB0E4, i) < 0.85f) {
            continue;
        }
        ++placed;
        const float radius = 14.0f + 70.0f * std::pow(HashUnit(0xB0E5, i), 2.0f);
        const float alpha = 0.07f + 0.2f * HashUnit(0xB0E6, i);
        const Rgb colour = FromHex(kLights[Hash32(0xB0E7, i) % kLights.size()]);
        const float feather = 2.5f + radius * 0.08f;
        const int x0 = std::max(0, static_cast<int>(cx - radius - feather));
        const int x1 = std::min(kWidth - 1, static_cast<int>(cx + radius + feather));
        const int y0 = std::max(0, static_cast<int>(cy - radius - feather));
        const int y1 = std::min(kHeight - 1, static_cast<int>(cy + radius + feather));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const Point p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                const float d = CircleDistance(p, {cx, cy}, radius);
                const float disc = SoftInside(d, feather);
                if (disc <= 0.0f) {
                    continue;
                }
                // A lens's bokeh is a flat disc with a slightly brighter rim.
                const float rim = std::exp(-(d + feather) * (d + feather) / (feather * feather));
                image.set(x, y, Screen(image.get(x, y), colour, alpha * (disc + 0.3f * rim)));
            }
        }
    }
    return image;
}

} // namespace

std::vector<NamedPicture> FramePictures()
{
    return {{"wood", Wood}, {"paper", Paper}, {"cinema", Cinema}, {"bokeh", Bokeh}};
}

} // namespace palvina::synth
