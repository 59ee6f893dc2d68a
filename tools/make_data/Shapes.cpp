#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace palvina::synth {

namespace {

float Dot(Point a, Point b)
{
    return a.x * b.x + a.y * b.y;
}

Point Sub(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y};
}

float Length(Point a)
{
    return std::sqrt(Dot(a, a));
}

} // namespace

float SmoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float SoftInside(float distance, float feather)
{
    return SmoothStep(feather * 0.5f, -feather * 0.5f, distance);
}

float RoundedBoxDistance(Point p, Point centre, float halfWidth, float halfHeight, float radius)
{
    const float qx = std::abs(p.x - centre.x) - halfWidth + radius;
    const float qy = std::abs(p.y - centre.y) - halfHeight + radius;
    const float outside = Length({std::max(qx, 0.0f), std::max(qy, 0.0f)});
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float CircleDistance(Point p, Point centre, float radius)
{
    return Length(Sub(p, centre)) - radius;
}

float PolygonDistance(Point p, const std::vector<Point>& polygon)
{
    float best = std::numeric_limits<float>::max();
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = polygon[j];
        const Point b = polygon[i];
        const Point edge = Sub(b, a);
        const Point toP = Sub(p, a);
        const float t = std::clamp(Dot(toP, edge) / Dot(edge, edge), 0.0f, 1.0f);
        best = std::min(best, Length({toP.x - edge.x * t, toP.y - edge.y * t}));
        // Even-odd crossing test along +x.
        if ((a.y > p.y) != (b.y > p.y)) {
            const float crossX = a.x + (p.y - a.y) / (b.y - a.y) * edge.x;
            if (p.x < crossX) {
                inside = !inside;
            }
        }
    }
    return inside ? -best : best;
}

float HeartDistance(Point p)
{
    // Two quarter-circle lobes on a square turned 45 degrees, mirrored about x = 0.
    p.x = std::abs(p.x);
    if (p.y + p.x > 1.0f) {
        return Length(Sub(p, {0.25f, 0.75f})) - std::numbers::sqrt2_v<float> / 4.0f;
    }
    const float toTop = Dot(Sub(p, {0.0f, 1.0f}), Sub(p, {0.0f, 1.0f}));
    const float h = 0.5f * std::max(p.x + p.y, 0.0f);
    const Point onDiagonal = Sub(p, {h, h});
    const float toDiagonal = Dot(onDiagonal, onDiagonal);
    const float sign = p.x > p.y ? 1.0f : -1.0f;
    return std::sqrt(std::min(toTop, toDiagonal)) * sign;
}

std::vector<Point> StarPolygon(Point centre, float outerRadius, float innerRadius, int points)
{
    std::vector<Point> polygon;
    polygon.reserve(static_cast<std::size_t>(points) * 2);
    const float step = std::numbers::pi_v<float> / static_cast<float>(points);
    for (int i = 0; i < points * 2; ++i) {
        const float radius = i % 2 == 0 ? outerRadius : innerRadius;
        const float angle = -std::numbers::pi_v<float> / 2.0f + step * static_cast<float>(i);
        polygon.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return polygon;
}

} // namespace palvina::synth
