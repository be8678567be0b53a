#include "app/monitor/FixedPitchGlyphs.h"

#include <QChar>
#include <QList>
#include <QPointF>
#include <QString>

namespace velmora {

FixedPitchGlyphs::FixedPitchGlyphs(const QFont& font) : font_(QRawFont::fromFont(font))
{
    if (!font_.isValid())
        return;
    const QList<quint32> space = font_.glyphIndexesForString(QStringLiteral(" "));
    if (space.size() != 1 || space[0] == 0)
        return;
    advance_ = font_.advancesForGlyphIndexes(space)[0].x();
    ascent_ = font_.ascent();
    usable_ = advance_ > 0;
    if (!usable_)
        return;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        ascii_[c] = lookUp(c);
    // A font whose letters and digits differ in width from its space is no fixed-pitch font.
    for (const char16_t c : {u'i', u'M', u'0', u'.'}) {
        if (ascii_[c] == 0)
            usable_ = false;
    }
}

std::uint32_t FixedPitchGlyphs::lookUp(char16_t c) const
{
    const QChar character(c);
    if (character.isSurrogate() || character.isMark() || !character.isPrint())
        return 0;
    switch (character.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
        break;
    default:
        return 0;
    }
    // Right-to-left characters would reorder the row.
    switch (character.direction()) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI:
        return 0;
    default:
        break;
    }
    const QList<quint32> glyph = font_.glyphIndexesForString(QString(character));
    if (glyph.size() != 1 || glyph[0] == 0) // glyph 0 is the font's "missing glyph" box
        return 0;
    return font_.advancesForGlyphIndexes(glyph)[0].x() == advance_ ? glyph[0] : 0;
}

std::uint32_t FixedPitchGlyphs::glyphFor(char16_t c) const
{
    if (c < ascii_.size())
        return ascii_[c];
    const auto [it, inserted] = others_.try_emplace(c, 0);
    if (inserted)
        it->second = lookUp(c);
    return it->second;
}

QGlyphRun FixedPitchGlyphs::emptyRun() const
{
    QGlyphRun glyphs;
    glyphs.setRawFont(font_);
    return glyphs;
}

std::optional<QGlyphRun> FixedPitchGlyphs::run(std::u16string_view text, std::size_t firstColumn) const
{
    if (!usable_)
        return std::nullopt;
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(static_cast<qsizetype>(text.size()));
    positions.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t glyph = glyphFor(text[i]);
        if (glyph == 0)
            return std::nullopt;
        indexes.append(glyph);
        positions.append(QPointF(static_cast<qreal>(firstColumn + i) * advance_, 0));
    }
    QGlyphRun glyphs = emptyRun();
    glyphs.setGlyphIndexes(indexes);
    glyphs.setPositions(positions);
    return glyphs;
}

} // namespace velmora
