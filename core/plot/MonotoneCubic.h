#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace velmora {

// A smooth curve through every point that never leaves the range of two neighbouring points:
// Fritsch–Carlson monotone cubic Hermite interpolation. Each piece between points i and i+1 is
// the cubic Bézier from p[i] to p[i+1] with the two control points given here, so a painter
// path draws it as it is.
//
// The points' x must be strictly ascending; equal x values are treated as a vertical step.
struct CurvePoint {
    double x = 0;
    double y = 0;
};

struct CubicPiece {
    CurvePoint control1;
    CurvePoint control2;
    CurvePoint end;
};

// The slope at every point; the tangents that keep each piece monotone.
std::vector<double> monotoneTangents(std::span<const CurvePoint> points);

// One piece per pair of neighbouring points (none for fewer than two points).
std::vector<CubicPiece> monotoneCubicPieces(std::span<const CurvePoint> points);

// The curve's value at x between points[i] and points[i+1], for checking the pieces.
double evaluateMonotoneCubic(
    std::span<const CurvePoint> points, std::span<const double> tangents, std::size_t i, double x);

} // namespace velmora
