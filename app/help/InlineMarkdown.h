#pragma once

#include <QString>

#include <vector>

namespace velmora {

// One run of text with the emphasis the small inline Markdown of the help texts gives it.
struct MarkdownSpan {
    QString text;
    bool bold = false;
    bool italic = false;
    bool code = false;

    friend bool operator==(const MarkdownSpan&, const MarkdownSpan&) = default;
};

// Splits a help text into runs: **bold**, *italic* and `code` are interpreted (bold and italic
// nest, code is literal), everything else stays as typed, white space and line breaks included.
// A marker without its partner, or one that opens before a blank or closes after one ("2 * 3"),
// is plain text; a code span closes with as many backticks as it opened with. Neighbouring runs
// never share the same emphasis.
std::vector<MarkdownSpan> parseInlineMarkdown(const QString& text);

// The runs as rich text for a QLabel: escaped, with line breaks and runs of blanks kept.
QString inlineMarkdownToHtml(const QString& text);

} // namespace velmora
