#include "core/plot/MonotoneCubic.h"

#include <cmath>

namespace velmora {

std::vector<double> monotoneTangents(std::span<const CurvePoint> points)
{
    const std::size_t n = points.size();
    std::vector<double> tangents(n, 0.0);
    if (n < 2)
        return tangents;

    // Secant slopes of the pieces; a vertical step has none and flattens its ends.
    std::vector<double> secants(n - 1, 0.0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double dx = points[i + 1].x - points[i].x;
        secants[i] = dx > 0 ? (points[i + 1].y - points[i].y) / dx : 0.0;
    }

    tangents[0] = secants[0];
    tangents[n - 1] = secants[n - 2];
    for (std::size_t i = 1; i + 1 < n; ++i) {
        // At a peak, a trough or a flat piece the curve must level out, or it would overshoot.
        if (secants[i - 1] * secants[i] <= 0)
            tangents[i] = 0;
        else
            tangents[i] = (secants[i - 1] + secants[i]) / 2;
    }

    // Fritsch–Carlson: keep (alpha, beta) of every piece within the circle of radius 3.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (secants[i] == 0) {
            tangents[i] = 0;
            tangents[i + 1] = 0;
            continue;
        }
        const double alpha = tangents[i] / secants[i];
        const double beta = tangents[i + 1] / secants[i];
        // A tangent against the piece's direction (possible at the two ends) is flattened.
        if (alpha < 0)
            tangents[i] = 0;
        if (beta < 0)
            tangents[i + 1] = 0;
        const double radius = alpha * alpha + beta * beta;
        if (radius > 9) {
            const double tau = 3 / std::sqrt(radius);
            tangents[i] = tau * alpha * secants[i];
            tangents[i + 1] = tau * beta * secants[i];
        }
    }
    return tangents;
}

std::vector<CubicPiece> monotoneCubicPieces(std::span<const CurvePoint> points)
{
    std::vector<CubicPiece> pieces;
    if (points.size() < 2)
        return pieces;
    const std::vector<double> tangents = monotoneTangents(points);
    pieces.reserve(points.size() - 1);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const CurvePoint& a = points[i];
        const CurvePoint& b = points[i + 1];
        const double third = (b.x - a.x) / 3;
        // The Hermite piece as a Bézier: control points a third of the way along each tangent.
        pieces.push_back({{a.x + third, a.y + tangents[i] * third}, {b.x - third, b.y - tangents[i + 1] * third}, b});
    }
    return pieces;
}

double evaluateMonotoneCubic(
    std::span<const CurvePoint> points, std::span<const double> tangents, std::size_t i, double x)
{
    const CurvePoint& a = points[i];
    const CurvePoint& b = points[i + 1];
    const double h = b.x - a.x;
    if (h <= 0)
        return a.y;
    const double t = (x - a.x) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * a.y + (t3 - 2 * t2 + t) * h * tangents[i] + (-2 * t3 + 3 * t2) * b.y +
        (t3 - t2) * h * tangents[i + 1];
}

} // namespace velmora
