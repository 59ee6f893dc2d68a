#include "Catalogue.h"
#include "Noise.h"
#include "Shapes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace palvina::synth {

namespace {

// Masks are stretched to each album picture, so a 4:3 size near the usual photo shape is enough.
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr Point kCentre{kWidth / 2.0f, kHeight / 2.0f};

// Paints a gray picture from a weight function, averaging 3 x 3 samples per pixel so that even
// the tighter edges stay smooth.
template <typename WeightFn>
FloatImage PaintWeight(WeightFn weight)
{
    FloatImage image(kWidth, kHeight);
    constexpr int kSub = 3;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float sum = 0.0f;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const Point p{static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSub,
                                  static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSub};
                    sum += std::clamp(weight(p), 0.0f, 1.0f);
                }
            }
            const float w = sum / (kSub * kSub);
            image.set(x, y, {w, w, w});
        }
    }
    return image;
}

FloatImage Vignette()
{
    return PaintWeight([](Point p) {
        const float dx = (p.x - kCentre.x) / kCentre.x;
        const float dy = (p.y - kCentre.y) / kCentre.y;
        return SmoothStep(1.0f, 0.45f, std::sqrt(dx * dx + dy * dy));
    });
}

FloatImage SoftEdge()
{
    return PaintWeight([](Point p) {
        const float d = RoundedBoxDistance(p, kCentre, kCentre.x - 22.0f, kCentre.y - 22.0f, 34.0f);
        return SoftInside(d, 40.0f);
    });
}

FloatImage Heart()
{
    constexpr float kScale = 250.0f;  // pixels per heart unit: the heart is about 275 px tall
    constexpr float kTipY = kCentre.y + 0.55f * kScale;
    return PaintWeight([](Point p) {
        const Point h{(p.x - kCentre.x) / kScale, (kTipY - p.y) / kScale};
        return SoftInside(HeartDistance(h) * kScale, 14.0f);
    });
}

FloatImage Star()
{
    const std::vector<Point> star = StarPolygon({kCentre.x, kCentre.y + 12.0f}, 150.0f, 68.0f, 5);
    return PaintWeight([&star](Point p) { return SoftInside(PolygonDistance(p, star) + 2.0f, 12.0f); });
}

FloatImage Diamond()
{
    const std::vector<Point> diamond{{kCentre.x, 8.0f}, {kWidth - 12.0f, kCentre.y},
                                     {kCentre.x, kHeight - 8.0f}, {12.0f, kCentre.y}};
    return PaintWeight([&diamond](Point p) { return SoftInside(PolygonDistance(p, diamond), 22.0f); });
}

FloatImage Blinds()
{
    constexpr float kPeriod = kHeight / 6.0f;
    constexpr float kOpen = 0.72f * kPeriod;  // the slat's see-through part
    return PaintWeight([](Point p) {
        const float phase = std::fmod(p.y, kPeriod) - kPeriod / 2.0f;
        const float slat = SoftInside(std::abs(phase) - kOpen / 2.0f, 9.0f);
        // Fade the slats out towards the left and right ends.
        const float ends = SoftInside(std::abs(p.x - kCentre.x) - (kCentre.x - 22.0f), 40.0f);
        return slat * ends;
    });
}

FloatImage FilmStrip()
{
    constexpr int kFrames = 3;
    constexpr float kMargin = 14.0f;
    constexpr float kGap = 12.0f;
    constexpr float kFrameWidth = (kWidth - 2 * kMargin - (kFrames - 1) * kGap) / kFrames;
    constexpr float kFrameTop = 62.0f;
    constexpr float kFrameBottom = kHeight - 62.0f;
    constexpr float kHolePitch = 28.0f;
    return PaintWeight([](Point p) {
        float d = 1e9f;
        for (int i = 0; i < kFrames; ++i) {
            const float left = kMargin + static_cast<float>(i) * (kFrameWidth + kGap);
            d = std::min(d, RoundedBoxDistance(p, {left + kFrameWidth / 2.0f, kCentre.y}, kFrameWidth / 2.0f,
                                               (kFrameBottom - kFrameTop) / 2.0f, 7.0f));
        }
        // The sprocket holes along both edges of the strip.
        const float column = std::floor(p.x / kHolePitch);
        const float holeX = (column + 0.5f) * kHolePitch;
        for (const float rowY : {34.0f, kHeight - 34.0f}) {
            d = std::min(d, RoundedBoxDistance(p, {holeX, rowY}, 7.0f, 10.0f, 3.0f));
        }
        return SoftInside(d, 3.0f);
    });
}

FloatImage Circles()
{
    struct Disc {
        float x, y, r;
    };
    static constexpr std::array kDiscs{Disc{205, 148, 104}, Disc{78, 84, 56},  Disc{330, 70, 50},
                                       Disc{72, 226, 46},   Disc{336, 228, 58}, Disc{140, 32, 22},
                                       Disc{268, 272, 22},  Disc{26, 152, 18},  Disc{382, 150, 15}};
    return PaintWeight([](Point p) {
        float w = 0.0f;
        for (const Disc& disc : kDiscs) {
            w = std::max(w, SoftInside(CircleDistance(p, {disc.x, disc.y}, disc.r), 10.0f));
        }
        return w;
    });
}

FloatImage Brush()
{
    const ValueNoise edge(0xB5A1);
    const ValueNoise bristles(0xB5A2);
    return PaintWeight([&](Point p) {
        // A wide stroke whose top and bottom edges wander, ends frayed.
        const float wander = (edge.fbm(p.x / 55.0f, 3.0f, 4) - 0.5f) * 46.0f;
        const float halfHeight = 100.0f + wander;
        const float streak = bristles.fbm(p.x / 140.0f, p.y / 2.2f, 3);
        const float vertical = std::abs(p.y - kCentre.y) - halfHeight + (streak - 0.5f) * 30.0f;
        const float fray = (edge.fbm(9.0f, p.y / 16.0f, 4) - 0.5f) * 44.0f;
        const float horizontal = std::abs(p.x - kCentre.x) - (kCentre.x - 34.0f) + fray + (streak - 0.5f) * 40.0f;
        const float body = SoftInside(std::max(vertical, horizontal), 10.0f);
        // Dry-brush streaks let a little background through inside the stroke.
        return body * (0.86f + 0.14f * SmoothStep(0.25f, 0.65f, streak));
    });
}

} // namespace

std::vector<NamedPicture> MaskPictures()
{
    return {{"vignette", Vignette}, {"softedge", SoftEdge}, {"heart", Heart},   {"star", Star},
            {"diamond", Diamond},   {"blinds", Blinds},     {"film", FilmStrip}, {"circles", Circles},
            {"brush", Brush}};
}

} // namespace palvina::synth
