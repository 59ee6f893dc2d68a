#pragma once

#include <vector>

namespace palvina::synth {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// Hermite step: 0 at or below edge0, 1 at or above edge1 (edge0 may be greater than edge1).
float SmoothStep(float edge0, float edge1, float x);

// Turns a signed distance (negative inside) into a soft coverage: 1 deep inside, 0 outside, with a
// smooth ramp `feather` wide centred on the edge.
float SoftInside(float distance, float feather);

// Signed distances, negative inside.
float RoundedBoxDistance(Point p, Point centre, float halfWidth, float halfHeight, float radius);
float CircleDistance(Point p, Point centre, float radius);
// Any simple polygon (points in order, closed implicitly).
float PolygonDistance(Point p, const std::vector<Point>& polygon);
// A heart with its tip at (0, 0) and its lobes reaching up to about y = 1.1 and x = +-0.6
// (y grows upwards).
float HeartDistance(Point p);

// A regular star with `points` tips, the first one pointing up (screen y grows downwards).
std::vector<Point> StarPolygon(Point centre, float outerRadius, float innerRadius, int points);

} // namespace palvina::synth
