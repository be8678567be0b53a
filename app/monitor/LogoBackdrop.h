#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;
class QSvgRenderer;

namespace velmora {

// The backdrop of the output: the text background colour with the logo faintly on top, drawn in
// the text colour as a single-colour template. It is painted by the output view itself rather
// than being a widget of its own, so it has no place in the accessibility tree and costs a paint
// one fill and one drawPixmap.
//
// Thread: main thread only.
class LogoBackdrop final {
public:
    static constexpr double sizeShare = 0.6;
    static constexpr int maximumSide = 460;
    static constexpr double opacity = 0.07;

    // The bundled single-colour logo.
    static QString templateLogoPath();
    // The full-colour logo, for the window and the desktop.
    static QString logoPath();

    explicit LogoBackdrop(QString svgPath = templateLogoPath());
    ~LogoBackdrop();
    LogoBackdrop(const LogoBackdrop&) = delete;
    LogoBackdrop& operator=(const LogoBackdrop&) = delete;

    // The logo's side for an area: sizeShare of its smaller side, at most maximumSide.
    static int logoSide(QSize area);
    // Where the logo goes in area: a centred square of logoSide.
    static QRect logoRect(const QRect& area);

    // Fills area with background and draws the logo over it in foreground at opacity.
    void paint(QPainter& painter, const QRect& area, const QColor& background, const QColor& foreground);

    // False when the SVG could not be read; the backdrop is then only the colour.
    bool hasLogo();

private:
    // Reads the SVG on first use only, so that a view that is never shown never parses it.
    QSvgRenderer* renderer();
    const QPixmap& pixmap(int side, qreal pixelRatio, const QColor& foreground);

    QString path_;
    std::unique_ptr<QSvgRenderer> renderer_;
    bool loaded_ = false;
    QPixmap pixmap_;
    QSize pixmapSize_;
    QColor pixmapColour_;
};

} // namespace velmora
