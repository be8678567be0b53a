#pragma once

#include "core/pipeline/StyledTextStore.h"

#include <QTextCharFormat>
#include <QTextCursor>

#include <array>
#include <memory>

class QTextDocument;

namespace velmora {

// The styled text store over the QTextDocument that the output view shows as it is.
//
// Positions are the document's cursor positions. A line feed becomes the document's paragraph
// separator, one position like the LF it stands for, and reads back as LF. Three characters that
// the document would take as structure are kept as visible characters of the same length: CR as
// U+240D (the control picture the text processor uses too), the frame marks U+FDD0 and U+FDD1 as
// U+FFFD. A U+2029 in the text is a line break and reads back as LF.
//
// Undo is off, so that memory does not grow with every append. Edits outside beginEditing and
// endEditing are each their own edit block, so the view lays out once per edit at most.
//
// Thread: main thread only (the GUI thread once a view shows the document).
class QtTextStore final : public StyledTextStore {
public:
    // Owns a document of its own, with the plain-text layout that QPlainTextEdit needs.
    QtTextStore();
    // Works on document, which must outlive the store.
    explicit QtTextStore(QTextDocument* document);
    ~QtTextStore() override;
    QtTextStore(const QtTextStore&) = delete;
    QtTextStore& operator=(const QtTextStore&) = delete;

    QTextDocument* document() const { return document_; }
    // The character format each style is inserted with.
    const QTextCharFormat& format(TextStyle style) const { return formats_[static_cast<std::size_t>(style)]; }

    std::size_t length() const override;
    void beginEditing() override;
    void endEditing() override;
    void append(std::span<const StyledRun> runs) override;
    void replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs) override;
    void remove(std::size_t start, std::size_t count) override;
    std::optional<std::size_t> find(char16_t c, std::size_t from) const override;
    std::u16string text() const override;

private:
    void insert(std::span<const StyledRun> runs);
    // Opens an edit block for one edit when no transaction is open; closeEdit closes it.
    void openEdit();
    void closeEdit();

    std::unique_ptr<QTextDocument> owned_;
    QTextDocument* document_;
    // The one cursor of every edit, so that a transaction is one edit block of this cursor.
    QTextCursor cursor_;
    std::array<QTextCharFormat, 5> formats_;
    std::size_t editingDepth_ = 0;
};

} // namespace velmora
