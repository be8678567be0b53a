#pragma once

#include "app/monitor/FixedPitchGlyphs.h"
#include "core/pipeline/InMemoryTextStore.h"

#include <QGlyphRun>
#include <QPalette>
#include <QTextCharFormat>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTextLayout;

namespace velmora {

// How the output's rows look and are laid out: the character format of each style, following a
// light or a dark palette, the text font's metrics, and a row's layout for a width. A row of
// printable ASCII in the text font that fits on one line is drawn from its glyph runs and gets a
// text layout only when asked for one (for a selection or a click); any other row has its text
// layout from the start.
//
// Thread: main thread only.
class OutputRows {
public:
    struct Layout {
        std::size_t end;
        std::unique_ptr<QTextLayout> layout;
        int height;
        // The longest line's natural width.
        int width;
        std::vector<std::pair<TextStyle, QGlyphRun>> runs;
    };

    // One format per TextStyle.
    static constexpr std::size_t styleCount = 5;

    explicit OutputRows(const InMemoryTextStore& store) : store_(store) {}

    // Makes the formats and metrics for these colours; again whenever they change.
    void setPalette(const QPalette& colours);
    const QTextCharFormat& format(TextStyle style) const { return formats_[static_cast<std::size_t>(style)]; }
    int lineSpacing() const { return lineSpacing_; }
    // How far glyphs may reach past their advance.
    int overhang() const { return overhang_; }
    const FixedPitchGlyphs& glyphs() const { return *fixedGlyphs_; }

    // The store's text from start to end, laid out in lines width wide.
    Layout layOut(std::size_t start, std::size_t end, qreal width) const;
    std::unique_ptr<QTextLayout> textLayout(std::size_t start, std::size_t end, qreal width) const;

private:
    std::optional<Layout> plainRow(std::size_t start, std::size_t end, qreal width) const;

    const InMemoryTextStore& store_;
    std::array<QTextCharFormat, styleCount> formats_;
    std::optional<FixedPitchGlyphs> fixedGlyphs_;
    int plainRowHeight_ = 0;
    int lineSpacing_ = 0;
    int overhang_ = 0;
};

} // namespace velmora
