#include "app/monitor/OutputRows.h"

#include "app/common/Colours.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

QColor mix(const QColor& foreground, const QColor& background, double share)
{
    return QColor::fromRgbF(static_cast<float>(foreground.redF() * share + background.redF() * (1 - share)),
        static_cast<float>(foreground.greenF() * share + background.greenF() * (1 - share)),
        static_cast<float>(foreground.blueF() * share + background.blueF() * (1 - share)));
}

QTextCharFormat makeFormat(const QFont& font, const QColor& colour)
{
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(colour);
    return format;
}

} // namespace

void OutputRows::setPalette(const QPalette& colours)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10);
    font.setWeight(QFont::Normal);
    QFont noticeFont = font;
    noticeFont.setPointSizeF(9);
    noticeFont.setWeight(QFont::DemiBold);

    // Secondary and tertiary text as mixes of text on base, so that both follow a light or a dark
    // theme and stay apart from each other and from ordinary text.
    const QColor text = colours.color(QPalette::Text);
    const QColor base = colours.color(QPalette::Base);

    formats_[static_cast<std::size_t>(TextStyle::data)] = makeFormat(font, text);
    formats_[static_cast<std::size_t>(TextStyle::timestamp)] = makeFormat(font, mix(text, base, 0.65));
    formats_[static_cast<std::size_t>(TextStyle::echo)] = makeFormat(font, echoBlue(colours));
    formats_[static_cast<std::size_t>(TextStyle::meta)] = makeFormat(font, mix(text, base, 0.42));
    formats_[static_cast<std::size_t>(TextStyle::system)] = makeFormat(noticeFont, accentTealText(colours));
    const QFontMetrics metrics(font);
    lineSpacing_ = metrics.lineSpacing();
    overhang_ = metrics.averageCharWidth();
    fixedGlyphs_.emplace(font);
    // As tall as a row of the text layout: one line of the font, or the line spacing if more.
    plainRowHeight_ = std::max(static_cast<int>(std::ceil(QFontMetricsF(font).height())), lineSpacing_);
}

OutputRows::Layout OutputRows::layOut(std::size_t start, std::size_t end, qreal width) const
{
    if (auto plain = plainRow(start, end, width))
        return std::move(*plain);
    auto layout = textLayout(start, end, width);
    qreal widest = 0;
    for (int i = 0; i < layout->lineCount(); ++i)
        widest = std::max(widest, layout->lineAt(i).naturalTextWidth());
    const qreal bottom = layout->lineCount() > 0 ? layout->lineAt(layout->lineCount() - 1).rect().bottom() : 0;
    const int height = std::max(static_cast<int>(std::ceil(bottom)), lineSpacing_);
    return Layout{end, std::move(layout), height, static_cast<int>(std::ceil(widest)), {}};
}

std::optional<OutputRows::Layout> OutputRows::plainRow(std::size_t start, std::size_t end, qreal width) const
{
    if (!fixedGlyphs_ || !fixedGlyphs_->isUsable())
        return std::nullopt;
    const qreal needed = static_cast<qreal>(end - start) * fixedGlyphs_->advance();
    if (needed > width)
        return std::nullopt;
    Layout plain{end, nullptr, plainRowHeight_, static_cast<int>(std::ceil(needed)), {}};
    const std::u16string_view text = store_.view();
    for (const auto& span : store_.styles(start, end)) {
        // Notices have a font of their own.
        if (span.style == TextStyle::system)
            return std::nullopt;
        auto glyphs = fixedGlyphs_->run(text.substr(span.start, span.end - span.start), span.start - start);
        if (!glyphs)
            return std::nullopt;
        plain.runs.emplace_back(span.style, std::move(*glyphs));
    }
    return plain;
}

std::unique_ptr<QTextLayout> OutputRows::textLayout(std::size_t start, std::size_t end, qreal width) const
{
    const std::u16string_view text = store_.view().substr(start, end - start);
    auto layout = std::make_unique<QTextLayout>(
        QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size())),
        format(TextStyle::data).font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    QList<QTextLayout::FormatRange> ranges;
    for (const auto& span : store_.styles(start, end)) {
        if (span.style != TextStyle::data)
            ranges.append(
                {static_cast<int>(span.start - start), static_cast<int>(span.end - span.start), format(span.style)});
    }
    layout->setFormats(ranges);
    layout->setCacheEnabled(true);

    qreal y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

} // namespace velmora
