#include "app/plot/LineRasterizer.h"

#include <algorithm>
#include <cmath>

namespace velmora {

void LineRasterizer::setTarget(QImage& target)
{
    target_ = &target;
    width_ = target.width();
    height_ = target.height();
    // Every drawn line leaves the buffer cleared behind it, so it only grows.
    const std::size_t needed =
        static_cast<std::size_t>(std::max(0, width_)) * static_cast<std::size_t>(std::max(0, height_));
    if (coverage_.size() < needed)
        coverage_.assign(needed, 0);
}

void LineRasterizer::drawPolyline(std::span<const QPointF> points, const QColor& color, double width)
{
    if (!target_ || points.empty() || width <= 0 || width_ <= 0 || height_ <= 0)
        return;
    // A pixel is fully covered up to half the width from the line and fades out over one more
    // pixel: the usual one-pixel antialiasing ramp.
    const double reach = width / 2 + 0.5;
    if (points.size() == 1)
        coverSegment(points[0], points[0], reach);
    for (std::size_t i = 1; i < points.size(); ++i)
        coverSegment(points[i - 1], points[i], reach);
    blend(color);
}

void LineRasterizer::coverSegment(QPointF a, QPointF b, double reach)
{
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double lengthSquared = dx * dx + dy * dy;
    const double inverseLength = lengthSquared > 0 ? 1 / lengthSquared : 0;
    // Most plot segments are a pixel or two long: their bounding box is barely larger than what
    // they cover, so a plain loop over it beats working out each row's reach.
    if (std::abs(dx) <= 4 && std::abs(dy) <= 4) {
        const int top = std::max(0, static_cast<int>(std::floor(std::min(a.y(), b.y()) - reach)));
        const int bottom = std::min(height_ - 1, static_cast<int>(std::ceil(std::max(a.y(), b.y()) + reach)));
        const int left = std::max(0, static_cast<int>(std::floor(std::min(a.x(), b.x()) - reach)));
        const int right = std::min(width_ - 1, static_cast<int>(std::ceil(std::max(a.x(), b.x()) + reach)));
        const auto fdx = static_cast<float>(dx);
        const auto fdy = static_cast<float>(dy);
        const auto fInverse = static_cast<float>(inverseLength);
        const auto fReach = static_cast<float>(reach);
        const auto ax = static_cast<float>(a.x());
        const auto ay = static_cast<float>(a.y());
        for (int row = top; row <= bottom; ++row) {
            const std::size_t rowStart = static_cast<std::size_t>(row) * static_cast<std::size_t>(width_);
            std::uint8_t* line = coverage_.data() + rowStart;
            const float py = static_cast<float>(row) + 0.5f - ay;
            for (int column = left; column <= right; ++column) {
                const float px = static_cast<float>(column) + 0.5f - ax;
                const float t = std::min(1.0f, std::max(0.0f, (px * fdx + py * fdy) * fInverse));
                const float ex = px - t * fdx;
                const float ey = py - t * fdy;
                const float cover = fReach - std::sqrt(ex * ex + ey * ey);
                if (cover <= 0)
                    continue;
                const auto value = static_cast<std::uint8_t>(std::min(1.0f, cover) * 255.0f + 0.5f);
                std::uint8_t& cell = line[column];
                if (value > cell) {
                    if (cell == 0)
                        touched_.push_back(static_cast<std::uint32_t>(rowStart) + static_cast<std::uint32_t>(column));
                    cell = value;
                }
            }
        }
        return;
    }
    const int firstRow = std::max(0, static_cast<int>(std::floor(std::min(a.y(), b.y()) - reach)));
    const int lastRow = std::min(height_ - 1, static_cast<int>(std::ceil(std::max(a.y(), b.y()) + reach)));
    for (int row = firstRow; row <= lastRow; ++row) {
        const double cy = row + 0.5;
        // The part of the segment within reach of this row, vertically; its x extent widened by
        // reach holds every pixel the segment can touch here.
        double t0 = 0;
        double t1 = 1;
        if (std::abs(dy) > 1e-12) {
            t0 = (cy - reach - a.y()) / dy;
            t1 = (cy + reach - a.y()) / dy;
            if (t0 > t1)
                std::swap(t0, t1);
            t0 = std::max(0.0, t0);
            t1 = std::min(1.0, t1);
            if (t0 > t1)
                continue;
        }
        const double xa = a.x() + t0 * dx;
        const double xb = a.x() + t1 * dx;
        const int firstColumn = std::max(0, static_cast<int>(std::floor(std::min(xa, xb) - reach)));
        const int lastColumn = std::min(width_ - 1, static_cast<int>(std::ceil(std::max(xa, xb) + reach)));
        const std::size_t rowStart = static_cast<std::size_t>(row) * static_cast<std::size_t>(width_);
        std::uint8_t* line = coverage_.data() + rowStart;
        // Per pixel in single precision: ample for screen coordinates, and twice as fast.
        const auto fdx = static_cast<float>(dx);
        const auto fdy = static_cast<float>(dy);
        const auto fInverse = static_cast<float>(inverseLength);
        const auto fReach = static_cast<float>(reach);
        const auto py = static_cast<float>(cy - a.y());
        const auto ax = static_cast<float>(a.x());
        // Two passes: the coverage of the whole run of pixels first (a plain loop the compiler
        // turns into vector instructions), then the merge into the line's coverage.
        const int count = lastColumn - firstColumn + 1;
        if (count <= 0)
            continue;
        if (static_cast<int>(runCoverage_.size()) < count)
            runCoverage_.resize(static_cast<std::size_t>(count));
        float* run = runCoverage_.data();
        const float startX = static_cast<float>(firstColumn) + 0.5f - ax;
        for (int i = 0; i < count; ++i) {
            const float px = startX + static_cast<float>(i);
            const float t = std::min(1.0f, std::max(0.0f, (px * fdx + py * fdy) * fInverse));
            const float ex = px - t * fdx;
            const float ey = py - t * fdy;
            const float distance = std::sqrt(ex * ex + ey * ey);
            run[i] = std::min(1.0f, std::max(0.0f, fReach - distance)) * 255.0f + 0.5f;
        }
        for (int i = 0; i < count; ++i) {
            const auto value = static_cast<std::uint8_t>(run[i]);
            std::uint8_t& cell = line[firstColumn + i];
            if (value > cell) {
                if (cell == 0)
                    touched_.push_back(
                        static_cast<std::uint32_t>(rowStart) + static_cast<std::uint32_t>(firstColumn + i));
                cell = value;
            }
        }
    }
}

void LineRasterizer::blend(const QColor& color)
{
    const QRgb source = qPremultiply(color.rgba());
    const std::uint32_t sa = qAlpha(source);
    const std::uint32_t sr = qRed(source);
    const std::uint32_t sg = qGreen(source);
    const std::uint32_t sb = qBlue(source);
    // 32-bit pixels keep their rows unpadded, so a coverage index is a pixel index.
    auto* pixels = reinterpret_cast<QRgb*>(target_->bits());
    for (const std::uint32_t index : touched_) {
        const std::uint32_t c = coverage_[index];
        coverage_[index] = 0;
        QRgb& pixel = pixels[index];
        // Source over, premultiplied: dst = src·c + dst·(1 − alpha·c), in 0–255 fixed point.
        const std::uint32_t a = (sa * c + 127) / 255;
        const std::uint32_t keep = 255 - a;
        const auto mix = [&](std::uint32_t s, std::uint32_t d) { return (s * c + 127) / 255 + (d * keep + 127) / 255; };
        pixel = qRgba(static_cast<int>(std::min<std::uint32_t>(255, mix(sr, qRed(pixel)))),
            static_cast<int>(std::min<std::uint32_t>(255, mix(sg, qGreen(pixel)))),
            static_cast<int>(std::min<std::uint32_t>(255, mix(sb, qBlue(pixel)))),
            static_cast<int>(std::min<std::uint32_t>(255, a + (qAlpha(pixel) * keep + 127) / 255)));
    }
    touched_.clear();
}

} // namespace velmora
