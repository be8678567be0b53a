#include "app/help/InlineMarkdown.h"

#include <optional>

namespace velmora {
namespace {

constexpr QChar star = u'*';
constexpr QChar backtick = u'`';

class Parser {
public:
    explicit Parser(const QString& text) : text_(text) {}

    std::vector<MarkdownSpan> run()
    {
        parse(0, text_.size(), false, false);
        return std::move(spans_);
    }

private:
    qsizetype backticks(qsizetype at, qsizetype end) const
    {
        qsizetype count = 0;
        while (at + count < end && text_[at + count] == backtick)
            ++count;
        return count;
    }

    struct CodeSpan {
        qsizetype textBegin;
        qsizetype textEnd;
        qsizetype next;
    };

    // A code span opening with the run of backticks at `at`: it closes at the next run of the same
    // length before `end`, so that "``a`b``" holds a backtick.
    std::optional<CodeSpan> codeSpan(qsizetype at, qsizetype end) const
    {
        const qsizetype width = backticks(at, end);
        for (qsizetype next = at + width; next < end;) {
            if (text_[next] != backtick) {
                ++next;
                continue;
            }
            const qsizetype run = backticks(next, end);
            if (run == width)
                return CodeSpan{at + width, next, next + run};
            next += run;
        }
        return std::nullopt;
    }

    bool isDoubleStar(qsizetype at, qsizetype end) const
    {
        return at + 1 < end && text_[at] == star && text_[at + 1] == star;
    }

    // Where the partner of a marker of `width` stars closes, for content starting at `from`; -1
    // when there is none. Content must not start or end with a blank, and code spans inside it
    // are skipped whole so that a star in code closes nothing.
    qsizetype closer(qsizetype from, qsizetype end, int width) const
    {
        if (from >= end || text_[from].isSpace())
            return -1;
        for (qsizetype at = from; at < end;) {
            if (text_[at] == backtick) {
                const auto code = codeSpan(at, end);
                at = code ? code->next : at + backticks(at, end);
                continue;
            }
            if (text_[at] != star) {
                ++at;
                continue;
            }
            const bool pair = isDoubleStar(at, end);
            const bool afterText = at > from && !text_[at - 1].isSpace();
            if (width == 2 && pair && afterText)
                return at;
            if (width == 1 && !pair && afterText)
                return at;
            // A pair inside italics belongs to a bold span of its own.
            at += pair ? 2 : 1;
        }
        return -1;
    }

    void add(const QString& piece, bool bold, bool italic, bool code)
    {
        if (piece.isEmpty())
            return;
        if (!spans_.empty()) {
            MarkdownSpan& last = spans_.back();
            if (last.bold == bold && last.italic == italic && last.code == code) {
                last.text += piece;
                return;
            }
        }
        spans_.push_back({piece, bold, italic, code});
    }

    void parse(qsizetype from, qsizetype end, bool bold, bool italic)
    {
        QString plain;
        const auto flush = [&] {
            add(plain, bold, italic, false);
            plain.clear();
        };
        for (qsizetype at = from; at < end;) {
            const QChar c = text_[at];
            if (c == backtick) {
                if (const auto code = codeSpan(at, end)) {
                    flush();
                    add(text_.mid(code->textBegin, code->textEnd - code->textBegin), bold, italic, true);
                    at = code->next;
                } else {
                    const qsizetype width = backticks(at, end);
                    plain += text_.mid(at, width);
                    at += width;
                }
                continue;
            }
            if (c == star) {
                const int width = isDoubleStar(at, end) ? 2 : 1;
                const bool opens = width == 2 ? !bold : !italic;
                const qsizetype close = opens ? closer(at + width, end, width) : -1;
                if (close >= 0) {
                    flush();
                    parse(at + width, close, bold || width == 2, italic || width == 1);
                    at = close + width;
                } else {
                    // Both stars of an unmatched pair stay as typed; the second opens nothing.
                    plain += text_.mid(at, width);
                    at += width;
                }
                continue;
            }
            plain += c;
            ++at;
        }
        flush();
    }

    const QString& text_;
    std::vector<MarkdownSpan> spans_;
};

} // namespace

std::vector<MarkdownSpan> parseInlineMarkdown(const QString& text)
{
    return Parser(text).run();
}

QString inlineMarkdownToHtml(const QString& text)
{
    QString html = QStringLiteral("<span style=\"white-space: pre-wrap\">");
    for (const MarkdownSpan& span : parseInlineMarkdown(text)) {
        QString piece = span.text.toHtmlEscaped();
        piece.replace(u'\n', QStringLiteral("<br>"));
        if (span.code)
            piece = QStringLiteral("<code>") + piece + QStringLiteral("</code>");
        if (span.italic)
            piece = QStringLiteral("<i>") + piece + QStringLiteral("</i>");
        if (span.bold)
            piece = QStringLiteral("<b>") + piece + QStringLiteral("</b>");
        html += piece;
    }
    html += QStringLiteral("</span>");
    return html;
}

} // namespace velmora
