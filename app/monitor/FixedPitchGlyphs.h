#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace velmora {

// The glyphs of one fixed-pitch font, looked up character by character instead of shaped: most
// of what a board prints is short lines of plain text, and shaping each of them with the full
// text engine costs more than drawing it. A character qualifies when the font itself has a glyph
// for it (no fallback font), that glyph has the font's one advance, and its script needs no
// shaping (Latin, Greek, Cyrillic and the common punctuation, digits, arrows and symbols). A run
// of such characters looks exactly as the text engine would lay it out: glyph after glyph at
// whole multiples of the advance.
//
// Thread: main thread.
class FixedPitchGlyphs {
public:
    explicit FixedPitchGlyphs(const QFont& font);

    // False when the font is not fixed-pitch after all; then no run is ever made.
    bool isUsable() const { return usable_; }
    qreal advance() const { return advance_; }
    qreal ascent() const { return ascent_; }

    // The glyphs of text, the first at column firstColumn, on a baseline at y = 0; none when a
    // character of text does not qualify.
    std::optional<QGlyphRun> run(std::u16string_view text, std::size_t firstColumn) const;
    // A run in this font without glyphs yet.
    QGlyphRun emptyRun() const;

private:
    // The glyph for c, or 0 when c does not qualify.
    std::uint32_t glyphFor(char16_t c) const;
    std::uint32_t lookUp(char16_t c) const;

    QRawFont font_;
    qreal advance_ = 0;
    qreal ascent_ = 0;
    bool usable_ = false;
    std::array<std::uint32_t, 0x80> ascii_{};
    mutable std::unordered_map<char16_t, std::uint32_t> others_;
};

} // namespace velmora
