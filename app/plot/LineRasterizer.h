#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// Antialiased polylines of any width, rasterised straight into an image: each line is the union
// of round-capped segments (so joins and ends are round), its coverage computed from each pixel
// centre's distance to the nearest segment and blended once per pixel.
//
// QPainter's raster engine takes its fast path only for lines of at most one pixel; a 1.5-pixel
// plot line with a thousand points goes through the general stroker at about 60 ms a line. This
// does the same picture in a small fraction of that, which is what lets a plotter full of lines
// repaint ten times a second.
//
// Thread: any, one instance per thread.
class LineRasterizer {
public:
    // Draws into target, which must be QImage::Format_ARGB32_Premultiplied and stay alive until
    // the next setTarget. Keeping one rasterizer between paints keeps its buffers: allocating a
    // fresh coverage buffer each time costs more than the drawing (page faults on every paint).
    void setTarget(QImage& target);

    // Points in the image's pixel coordinates; width in pixels. One point draws a dot.
    void drawPolyline(std::span<const QPointF> points, const QColor& color, double width);

private:
    void coverSegment(QPointF a, QPointF b, double reach);
    void blend(const QColor& color);

    QImage* target_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    // Coverage of the line being drawn, 0–255 per pixel, and the pixels it touched.
    std::vector<std::uint8_t> coverage_;
    std::vector<std::uint32_t> touched_;
    // Coverage of one run of pixels along a row, before it is merged.
    std::vector<float> runCoverage_;
};

} // namespace velmora
