#include "app/platform/QtTextStore.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

using velmora::InMemoryTextStore;
using velmora::OutputBuffer;
using velmora::OutputSegment;
using velmora::QtTextStore;
using velmora::StyledRun;
using velmora::TextStyle;

namespace {

constexpr std::array allStyles{TextStyle::data, TextStyle::timestamp, TextStyle::echo, TextStyle::meta,
    TextStyle::system};

// The character format the document holds at position, line breaks included.
QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    if (position == block.position() + block.length() - 1)
        return block.next().charFormat(); // a block's char format is that of the separator before it
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return {};
}

// The style of every character of an in-memory store, in order.
std::vector<TextStyle> stylesOf(const InMemoryTextStore& store)
{
    std::vector<TextStyle> styles;
    for (const auto& [style, text] : store.runs())
        styles.insert(styles.end(), text.size(), style);
    return styles;
}

// count lines of width characters each, the last of which is a line feed.
std::u16string lines(std::size_t count, std::size_t width)
{
    std::u16string line(width - 1, u'x');
    line += u'\n';
    std::u16string text;
    text.reserve(count * width);
    for (std::size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

std::u16string textWithLineFeedsAt(std::size_t length, std::initializer_list<std::size_t> lineFeeds)
{
    std::u16string text(length, u'x');
    for (const std::size_t position : lineFeeds)
        text[position] = u'\n';
    return text;
}

QString toQString(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

class QtTextStoreTests : public QObject {
    Q_OBJECT

private slots:
    void startsEmptyAndOwnsADocumentThatAPlainTextViewCanShow()
    {
        QtTextStore store;
        QCOMPARE(store.length(), std::size_t{0});
        QVERIFY(store.text().empty());
        QCOMPARE(store.find(u'\n', 0), std::nullopt);
        QVERIFY(!store.document()->isUndoRedoEnabled());

        QPlainTextEdit view;
        view.setDocument(store.document());
        QCOMPARE(view.document(), store.document());
        const std::array runs{StyledRun{TextStyle::data, u"21.5,40\n"}, StyledRun{TextStyle::system, u"--- x ---"}};
        store.append(runs);
        QCOMPARE(view.toPlainText(), QStringLiteral("21.5,40\n--- x ---"));
        view.setDocument(nullptr);
    }

    void aGivenDocumentIsUsedAsItIsWithUndoSwitchedOff()
    {
        QTextDocument document;
        QtTextStore store(&document);
        QCOMPARE(store.document(), &document);
        QVERIFY(!document.isUndoRedoEnabled());
        const std::array runs{StyledRun{TextStyle::echo, u"\u2192 hi\n"}};
        store.append(runs);
        QCOMPARE(document.toPlainText(), QStringLiteral("\u2192 hi\n"));
        QCOMPARE(store.length(), std::size_t{5});
    }

    void lineBreaksCountOnePositionEachAndReadBackAsLineFeeds()
    {
        QtTextStore store;
        const std::array runs{StyledRun{TextStyle::data, u"ab\n\ncd\n"}, StyledRun{TextStyle::meta, u"e"}};
        store.append(runs);
        QCOMPARE(store.length(), std::size_t{8});
        QVERIFY(store.text() == u"ab\n\ncd\ne");
        QCOMPARE(store.find(u'\n', 0), std::optional<std::size_t>(2));
        QCOMPARE(store.find(u'\n', 3), std::optional<std::size_t>(3));
        QCOMPARE(store.find(u'\n', 4), std::optional<std::size_t>(6));
        QCOMPARE(store.find(u'\n', 7), std::nullopt);
        QCOMPARE(store.find(u'e', 0), std::optional<std::size_t>(7));
        QCOMPARE(store.find(u'\u2029', 0), std::nullopt);
    }

    void charactersTheDocumentWouldTakeAsStructureKeepTheirLength()
    {
        QtTextStore store;
        const std::array runs{StyledRun{TextStyle::data, u"a\r\nb\rc\uFDD0d\uFDD1\u2028\u00A0"}};
        store.append(runs);
        QCOMPARE(store.length(), std::size_t{11});
        QVERIFY(store.text() == u"a\u240D\nb\u240Dc\uFFFDd\uFFFD\u2028\u00A0");
        QCOMPARE(store.find(u'\n', 0), std::optional<std::size_t>(2));
        QCOMPARE(store.find(u'\n', 3), std::nullopt);
        QCOMPARE(store.find(u'\r', 0), std::nullopt);
    }

    void eachStyleHasItsOwnFormatAndNoticesAreSmallerAndHeavier()
    {
        QtTextStore store;
        for (std::size_t i = 0; i < allStyles.size(); ++i) {
            for (std::size_t j = i + 1; j < allStyles.size(); ++j)
                QVERIFY2(store.format(allStyles[i]).foreground() != store.format(allStyles[j]).foreground(),
                    qPrintable(QStringLiteral("styles %1 and %2 share a colour").arg(i).arg(j)));
        }
        for (const TextStyle style : {TextStyle::data, TextStyle::timestamp, TextStyle::echo, TextStyle::meta}) {
            const QFont font = store.format(style).font();
            QCOMPARE(font.pointSizeF(), 12.0);
            QCOMPARE(font.weight(), QFont::Normal);
            // Measured rather than asked: some monospaced faces do not declare themselves fixed-pitch.
            const QFontMetricsF metrics(font);
            QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
        }
        const QFont notice = store.format(TextStyle::system).font();
        QCOMPARE(notice.pointSizeF(), 11.0);
        QCOMPARE(notice.weight(), QFont::Medium);
        QCOMPARE(store.format(TextStyle::system).foreground().color(), QColor(0x00, 0x81, 0x84));
        QCOMPARE(store.format(TextStyle::echo).foreground().color(), QColor(0x1E, 0x6F, 0xD9));
        QCOMPARE(store.format(TextStyle::data).foreground().color(), QGuiApplication::palette().color(QPalette::Text));
    }

    // The same random edits on this store and on the core's in-memory one leave the same text,
    // the same answers to find and, character by character, the format of the style inserted there.
    void randomEditsAgreeWithTheInMemoryStore()
    {
        std::mt19937 random(20240612);
        auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        // Whole surrogate pairs go in; edits at random positions split them again.
        const std::array<std::u16string, 8> pieces{u"a", u"b", u"\n", u"\n\n", u"\U0001F600", u"\u00E9",
            u"\u2028", u"xyz\n"};
        constexpr std::array<char16_t, 5> sought{u'\n', u'a', u'\xD83D', u'\u2028', u'z'};

        QtTextStore store;
        InMemoryTextStore reference;
        bool inTransaction = false;

        for (int step = 0; step < 2500; ++step) {
            std::vector<std::u16string> texts(below(4));
            std::vector<StyledRun> runs;
            for (std::u16string& text : texts) {
                for (std::size_t i = below(6); i > 0; --i)
                    text += pieces[below(pieces.size())];
                runs.push_back({allStyles[below(allStyles.size())], text});
            }
            if (below(8) == 0) {
                if (inTransaction) {
                    store.endEditing();
                    reference.endEditing();
                } else {
                    store.beginEditing();
                    reference.beginEditing();
                }
                inTransaction = !inTransaction;
            }

            const std::size_t length = reference.length();
            const std::size_t start = below(length + 3);
            const std::size_t count = below(length + 3);
            switch (below(step % 500 < 400 ? 3 : 4)) {
            case 0:
                store.append(runs);
                reference.append(runs);
                break;
            case 1:
                store.replace(start, count, runs);
                reference.replace(start, count, runs);
                break;
            case 2:
                store.remove(start, count);
                reference.remove(start, count);
                break;
            default:
                // Now and then a long way from the front, as trimming does.
                store.remove(0, length / 2);
                reference.remove(0, length / 2);
                break;
            }

            {
                const std::u16string expected = reference.text();
                QVERIFY2(store.text() == expected, qPrintable(QStringLiteral("step %1: \"%2\" against \"%3\"")
                                                                  .arg(step)
                                                                  .arg(toQString(store.text()), toQString(expected))));
                QCOMPARE(store.length(), expected.size());
                for (int probe = 0; probe < 4; ++probe) {
                    const std::size_t from = below(expected.size() + 2);
                    const char16_t c = sought[below(sought.size())];
                    QVERIFY2(store.find(c, from) == reference.find(c, from),
                        qPrintable(QStringLiteral("step %1: find %2 from %3").arg(step).arg(int(c)).arg(from)));
                }
                if (!expected.empty()) {
                    const std::vector<TextStyle> styles = stylesOf(reference);
                    for (int probe = 0; probe < 6; ++probe) {
                        const std::size_t position = below(expected.size());
                        QVERIFY2(formatAt(*store.document(), static_cast<int>(position)) == store.format(styles[position]),
                            qPrintable(QStringLiteral("step %1: format at %2").arg(step).arg(position)));
                    }
                }
            }
        }
        if (inTransaction)
            store.endEditing();
        QVERIFY(store.text() == reference.text());
    }

    void aTransactionIsOneChangeOfTheDocumentAndEachEditOutsideOneIsItsOwn()
    {
        QtTextStore store;
        QSignalSpy changes(store.document(), &QTextDocument::contentsChange);
        const std::array runs{StyledRun{TextStyle::data, u"one\ntwo\n"}, StyledRun{TextStyle::meta, u"three"}};

        store.beginEditing();
        store.append(runs);
        store.replace(2, 3, runs);
        store.beginEditing();
        store.remove(0, 4);
        store.endEditing();
        QCOMPARE(changes.count(), 0);
        store.endEditing();
        QCOMPARE(changes.count(), 1);

        store.append(runs);
        store.remove(0, 1);
        QCOMPARE(changes.count(), 3);
        // A stray end does not close anything that is not open.
        store.endEditing();
        store.append(runs);
        QCOMPARE(changes.count(), 4);
    }

    void anOutputBufferAppendThatTrimsIsOneChangeOfTheDocument()
    {
        auto owned = std::make_unique<QtTextStore>();
        QtTextStore& store = *owned;
        OutputBuffer buffer(std::move(owned));
        buffer.appendSegments({{OutputSegment::Kind::data, lines(20'000, 100)}}, {});
        QSignalSpy changes(store.document(), &QTextDocument::contentsChange);
        buffer.appendSegments({{OutputSegment::Kind::data, u"0123456789"}}, {});
        QCOMPARE(changes.count(), 1);
        QCOMPARE(store.length(), std::size_t{2'000'010 - 500'100});
    }

    // 2,000,010 characters: the cut is at 500,010 and the text starts after the first LF from there.
    void anOutputBufferTrimsExactlyAsItDoesOverTheInMemoryStore_data()
    {
        QTest::addColumn<int>("shape");
        QTest::newRow("lines of 100, first LF from the cut at 500,099") << 0;
        QTest::newRow("an LF exactly at the cut") << 1;
        QTest::newRow("no LF after the cut") << 2;
    }

    void anOutputBufferTrimsExactlyAsItDoesOverTheInMemoryStore()
    {
        QFETCH(int, shape);
        std::u16string initial;
        std::size_t expectedStart = 0;
        switch (shape) {
        case 0:
            initial = lines(20'000, 100);
            expectedStart = 500'100;
            break;
        case 1:
            initial = textWithLineFeedsAt(2'000'000, {499'999, 500'009, 500'010, 1'200'000});
            expectedStart = 500'011;
            break;
        default:
            initial = textWithLineFeedsAt(2'000'000, {10, 500'009});
            expectedStart = 500'010;
            break;
        }

        auto ownedQt = std::make_unique<QtTextStore>();
        QtTextStore& qtStore = *ownedQt;
        OutputBuffer overQt(std::move(ownedQt));
        auto ownedMemory = std::make_unique<InMemoryTextStore>();
        InMemoryTextStore& memoryStore = *ownedMemory;
        OutputBuffer inMemory(std::move(ownedMemory));

        for (OutputBuffer* buffer : {&overQt, &inMemory}) {
            buffer->appendSegments({{OutputSegment::Kind::data, initial}}, {});
            buffer->appendSegments({{OutputSegment::Kind::timestamp, u"0123456789"}}, {});
        }
        QCOMPARE(qtStore.length(), std::size_t{2'000'010} - expectedStart);
        QVERIFY(qtStore.text() == initial.substr(expectedStart) + u"0123456789");
        QVERIFY(qtStore.text() == memoryStore.text());
        QCOMPARE(formatAt(*qtStore.document(), 0), qtStore.format(TextStyle::data));
        QCOMPARE(formatAt(*qtStore.document(), static_cast<int>(qtStore.length() - 1)),
            qtStore.format(TextStyle::timestamp));
    }
};

QTEST_MAIN(QtTextStoreTests)
#include "QtTextStoreTests.moc"
