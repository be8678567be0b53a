#include "app/platform/QtTextStore.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace velmora {

namespace {

constexpr char16_t paragraphSeparator = u'\u2029';

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

std::array<QTextCharFormat, 5> makeFormats()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(12);
    font.setWeight(QFont::Normal);
    QFont systemFont = font;
    systemFont.setPointSizeF(11);
    systemFont.setWeight(QFont::Medium);

    // Secondary and tertiary text as mixes of text on base, so that both follow a light or a dark
    // theme and stay apart from each other and from ordinary text.
    const QPalette palette = QGuiApplication::palette();
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    const QColor blue(0x1E, 0x6F, 0xD9);
    const QColor teal(0x00, 0x81, 0x84);

    std::array<QTextCharFormat, 5> formats;
    formats[static_cast<std::size_t>(TextStyle::data)] = makeFormat(font, text);
    formats[static_cast<std::size_t>(TextStyle::timestamp)] = makeFormat(font, mix(text, base, 0.65));
    formats[static_cast<std::size_t>(TextStyle::echo)] = makeFormat(font, blue);
    formats[static_cast<std::size_t>(TextStyle::meta)] = makeFormat(font, mix(text, base, 0.42));
    formats[static_cast<std::size_t>(TextStyle::system)] = makeFormat(systemFont, teal);
    return formats;
}

// The run's text as the document should get it: same length, nothing the document would read
// as structure other than line breaks.
QString documentText(std::u16string_view text)
{
    QString result(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    for (QChar& c : result) {
        switch (c.unicode()) {
        case u'\r':
            c = QChar(0x240D);
            break;
        case 0xFDD0:
        case 0xFDD1:
            c = QChar(QChar::ReplacementCharacter);
            break;
        default:
            break;
        }
    }
    return result;
}

} // namespace

QtTextStore::QtTextStore() : owned_(std::make_unique<QTextDocument>()), document_(owned_.get()), cursor_(document_)
{
    // The plain-text layout lays out only the blocks it shows, and lets a QPlainTextEdit show the
    // document; the rich-text one would lay out all two million characters.
    document_->setDocumentLayout(new QPlainTextDocumentLayout(document_));
    document_->setUndoRedoEnabled(false);
    formats_ = makeFormats();
}

QtTextStore::QtTextStore(QTextDocument* document) : document_(document), cursor_(document_)
{
    document_->setUndoRedoEnabled(false);
    formats_ = makeFormats();
}

QtTextStore::~QtTextStore()
{
    if (editingDepth_ > 0)
        cursor_.endEditBlock();
}

std::size_t QtTextStore::length() const
{
    // The document always ends in an empty paragraph of its own that the text does not hold.
    return static_cast<std::size_t>(document_->characterCount() - 1);
}

void QtTextStore::beginEditing()
{
    if (editingDepth_++ == 0)
        cursor_.beginEditBlock();
}

void QtTextStore::endEditing()
{
    if (editingDepth_ == 0)
        return;
    if (--editingDepth_ == 0)
        cursor_.endEditBlock();
}

void QtTextStore::openEdit()
{
    // Moving the cursor outside an edit block makes the document lay out the block it lands in.
    if (editingDepth_ == 0)
        cursor_.beginEditBlock();
}

void QtTextStore::closeEdit()
{
    if (editingDepth_ == 0)
        cursor_.endEditBlock();
}

void QtTextStore::append(std::span<const StyledRun> runs)
{
    openEdit();
    cursor_.movePosition(QTextCursor::End);
    insert(runs);
    closeEdit();
}

void QtTextStore::replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs)
{
    const std::size_t total = length();
    start = std::min(start, total);
    count = std::min(count, total - start);
    openEdit();
    cursor_.setPosition(static_cast<int>(start));
    if (count > 0) {
        cursor_.setPosition(static_cast<int>(start + count), QTextCursor::KeepAnchor);
        cursor_.removeSelectedText();
    }
    insert(runs);
    closeEdit();
}

void QtTextStore::remove(std::size_t start, std::size_t count)
{
    replace(start, count, {});
}

void QtTextStore::insert(std::span<const StyledRun> runs)
{
    for (const StyledRun& run : runs) {
        if (!run.text.empty())
            cursor_.insertText(documentText(run.text), format(run.style));
    }
}

std::optional<std::size_t> QtTextStore::find(char16_t c, std::size_t from) const
{
    const std::size_t total = length();
    if (from >= total)
        return std::nullopt;
    QTextBlock block = document_->findBlock(static_cast<int>(from));
    if (c == u'\n') {
        // Every block but the last ends in a separator, which is the first one from here.
        if (!block.next().isValid())
            return std::nullopt;
        return static_cast<std::size_t>(block.position() + block.length() - 1);
    }
    if (c == paragraphSeparator)
        return std::nullopt;
    const QChar wanted(c);
    qsizetype offset = static_cast<qsizetype>(from) - block.position();
    for (; block.isValid(); block = block.next(), offset = 0) {
        const qsizetype index = block.text().indexOf(wanted, offset);
        if (index >= 0)
            return static_cast<std::size_t>(block.position() + index);
    }
    return std::nullopt;
}

std::u16string QtTextStore::text() const
{
    // toPlainText would also turn U+2028 and no-break spaces into other characters.
    const QString raw = document_->toRawText();
    std::u16string result(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
    std::replace(result.begin(), result.end(), paragraphSeparator, u'\n');
    return result;
}

} // namespace velmora
