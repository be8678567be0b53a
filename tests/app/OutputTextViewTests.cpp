#include "app/monitor/ContentView.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/FixedPitchGlyphs.h"
#include "app/monitor/OutputTextView.h"
#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputBuffer.h"
#include "localization/L10n.h"
#include "tests/app/FakeSession.h"
#include "tests/app/WidgetTestHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtTest>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

using namespace velmora;

namespace {

QString qt(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string numberedLines(int from, int to)
{
    std::u16string text;
    for (int i = from; i < to; ++i)
        text += u"line " + QString::number(i).rightJustified(5, u'0').toStdU16String() + u'\n';
    return text;
}

void append(InMemoryTextStore& store, std::u16string_view text)
{
    const std::array runs{StyledRun{TextStyle::data, text}};
    store.append(runs);
}

// The output area as a tab has it: the find bar over the text view, in a shown window, over a
// store that the test owns or that an output buffer owns.
struct Area {
    explicit Area(const InMemoryTextStore& store, QSize size = {520, 320})
    {
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        view = new OutputTextView(store, &window);
        bar = new FindBar(*view, &window);
        column->addWidget(bar);
        column->addWidget(view, 1);
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settle();
    }

    // Lets every output view catch up with its store and paint: a stream of edits is drawn at
    // most every 40 ms.
    static void settle()
    {
        const auto upToDate = [] {
            const auto widgets = QApplication::allWidgets();
            return std::all_of(widgets.begin(), widgets.end(), [](QWidget* widget) {
                const auto* view = qobject_cast<OutputTextView*>(widget);
                return view == nullptr || view->isUpToDate();
            });
        };
        QTest::qWait(20);
        QTRY_VERIFY_WITH_TIMEOUT(upToDate(), 1000);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    int lineHeight() const
    {
        const QFontMetrics metrics(view->format(TextStyle::data).font());
        return metrics.lineSpacing();
    }
    qreal charWidth() const { return QFontMetricsF(view->format(TextStyle::data).font()).horizontalAdvance(u'x'); }
    // The middle of column `column` (a character boundary) in visual line `line` counted from the top.
    QPoint at(int column, int line) const
    {
        return {OutputTextView::inset + static_cast<int>(column * charWidth()),
            OutputTextView::inset + line * lineHeight() + lineHeight() / 2};
    }
    QPoint bottomRight() const { return {view->viewport()->width() - 2, view->viewport()->height() - 2}; }

    // Where a click puts the cursor; the click replaces the selection.
    std::size_t positionUnder(QPoint point) const
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        return view->selection().first;
    }

    QWidget window;
    OutputTextView* view = nullptr;
    FindBar* bar = nullptr;
};

std::size_t rowUnder(const Area& area, const InMemoryTextStore& store, QPoint point)
{
    return store.rowAt(area.positionUnder(point));
}

std::size_t indexOf(const InMemoryTextStore& store, std::u16string_view needle)
{
    const std::size_t at = store.view().find(needle);
    Q_ASSERT(at != std::u16string_view::npos);
    return at;
}

} // namespace

class OutputTextViewTests : public QObject {
    Q_OBJECT

private:
    L10n::ScopedLanguage english{Language::en};

private slots:
    void followsTheEndOnlyWhenAskedAndKeepsItsPlaceWhileScrolledUp()
    {
        InMemoryTextStore store;
        Area area(store);
        append(store, numberedLines(0, 1000));
        append(store, u"the last line");
        area.view->scrollToEnd();
        Area::settle();
        QVERIFY(area.view->isScrolledToEnd());
        QVERIFY(area.view->firstVisibleRow() > 900);
        QCOMPARE(rowUnder(area, store, area.bottomRight()), store.rowCount() - 1);
        QCOMPARE(area.positionUnder(area.bottomRight()), store.length());

        // Scrolled up, new text leaves the view where it is.
        area.view->verticalScrollBar()->setValue(300);
        Area::settle();
        QCOMPARE(rowUnder(area, store, area.at(0, 0)), std::size_t{300});
        append(store, u"\n" + numberedLines(1000, 1200));
        Area::settle();
        QCOMPARE(area.view->firstVisibleRow(), std::size_t{300});
        QCOMPARE(rowUnder(area, store, area.at(0, 0)), std::size_t{300});
        QVERIFY(!area.view->isScrolledToEnd());

        // So does a cut at the front: the same text stays at the top and the selection moves
        // back with it; a selection inside the cut collapses to the start.
        const std::size_t cut = indexOf(store, u"line 00100");
        area.view->setSelection(indexOf(store, u"line 00350"), indexOf(store, u"line 00351") - 1);
        store.beginEditing();
        append(store, u"more\n");
        store.remove(0, cut);
        store.endEditing();
        Area::settle();
        QCOMPARE(area.view->selectedText(), QString("line 00350"));
        QCOMPARE(area.view->selection().first, indexOf(store, u"line 00350"));
        QCOMPARE(area.view->firstVisibleRow(), std::size_t{200});
        QCOMPARE(qt(store.view().substr(store.rowStart(200), 10)), QString("line 00300"));
        QCOMPARE(area.positionUnder(area.at(0, 0)), indexOf(store, u"line 00300"));

        area.view->setSelection(indexOf(store, u"line 00105"), indexOf(store, u"line 00150"));
        store.remove(0, indexOf(store, u"line 00110"));
        Area::settle();
        QCOMPARE(area.view->selection(), (std::pair<std::size_t, std::size_t>{0, indexOf(store, u"line 00150")}));
        area.view->setSelection(indexOf(store, u"line 00120"), indexOf(store, u"line 00130"));
        store.remove(0, indexOf(store, u"line 00140"));
        Area::settle();
        QCOMPARE(area.view->selection(), (std::pair<std::size_t, std::size_t>{0, 0}));
        QVERIFY(area.view->selectedText().isEmpty());
    }

    void autoscrollOfTheOutputBufferFollowsNewOutputAndTrimmingKeepsTheTextInPlace()
    {
        OutputBuffer buffer;
        const auto& store = buffer.storage();
        Area area(store);
        const auto scrolling = buffer.scrollsToEnd().subscribe([&] { area.view->scrollToEnd(); });
        const auto receive = [&](std::u16string text) {
            buffer.appendSegments({{OutputSegment::Kind::data, std::move(text)}}, {});
        };

        // Lines of 100 characters bring the text close to the limit.
        const auto filler = [](int lines) {
            std::u16string text;
            for (int i = 0; i < lines; ++i)
                text += std::u16string(99, u'f') + u'\n';
            return text;
        };
        receive(filler(19000));
        receive(numberedLines(0, 500));
        Area::settle();
        QVERIFY(area.view->isScrolledToEnd());
        area.view->verticalScrollBar()->setValue(10);
        receive(numberedLines(500, 600));
        Area::settle();
        QVERIFY(area.view->isScrolledToEnd());
        QCOMPARE(rowUnder(area, store, area.bottomRight()), store.rowCount() - 1);

        // Without autoscroll the reader keeps the text in view, through a trim as well.
        buffer.setAutoscroll(false);
        area.view->verticalScrollBar()->setValue(static_cast<int>(store.rowAt(indexOf(store, u"line 00550"))));
        Area::settle();
        QCOMPARE(area.positionUnder(area.at(0, 0)), indexOf(store, u"line 00550"));
        const std::size_t lengthBefore = store.length();
        area.view->setSelection(indexOf(store, u"line 00560"), indexOf(store, u"line 00560") + 10);
        receive(filler(1500));
        QVERIFY(store.length() < lengthBefore);
        Area::settle();
        QCOMPARE(area.view->selectedText(), QString("line 00560"));
        QCOMPARE(area.positionUnder(area.at(0, 0)), indexOf(store, u"line 00550"));
        QVERIFY(!area.view->isScrolledToEnd());
    }

    void theMouseSelectsTextAndTheKeyboardSelectsAllAndCopies()
    {
        InMemoryTextStore store;
        Area area(store);
        append(store, u"alpha beta gamma\nsecond line here\nthird_word-1.5 end");
        Area::settle();
        QWidget* viewport = area.view->viewport();

        QTest::mousePress(viewport, Qt::LeftButton, {}, area.at(6, 0));
        QTest::mouseMove(viewport, area.at(12, 0));
        QTest::mouseMove(viewport, area.at(16, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, area.at(16, 0));
        QCOMPARE(area.view->selectedText(), QString("beta gamma"));

        // Backwards over a line break, then extended with Shift.
        QTest::mousePress(viewport, Qt::LeftButton, {}, area.at(6, 1));
        QTest::mouseMove(viewport, area.at(11, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, area.at(11, 0));
        QCOMPARE(area.view->selectedText(), QString("gamma\nsecond"));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, area.at(11, 1));
        QCOMPARE(area.view->selectedText(), QString(" line"));

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, area.at(9, 1));
        QCOMPARE(area.view->selectedText(), QString("line"));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, area.at(3, 2));
        QCOMPARE(area.view->selectedText(), QString("third_word-1.5"));

        area.view->setFocus();
        QTest::keyClick(area.view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(area.view->selectedText(), qt(store.view()));
        QApplication::clipboard()->clear();
        QTest::keyClick(area.view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), qt(store.view()));

        area.view->setSelection(12, 6);
        QCOMPARE(area.view->selectedText(), QString("beta g"));
        area.view->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("beta g"));
        // Copying nothing leaves the clipboard alone.
        area.view->setSelection(3, 3);
        area.view->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("beta g"));
    }

    void draggingPastTheBottomScrollsAndSelectsToTheRowNowThere()
    {
        InMemoryTextStore store;
        Area area(store);
        append(store, numberedLines(0, 200));
        area.view->verticalScrollBar()->setValue(0);
        Area::settle();
        QWidget* viewport = area.view->viewport();
        const QPoint below(OutputTextView::inset + 1, viewport->height() + 20);

        QTest::mousePress(viewport, Qt::LeftButton, {}, area.at(0, 0));
        QTest::mouseMove(viewport, below);
        QTest::mouseMove(viewport, below);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(area.view->firstVisibleRow(), std::size_t{2});
        const auto [start, end] = area.view->selection();
        QCOMPARE(start, std::size_t{0});
        Area::settle();
        QCOMPARE(store.rowAt(end), rowUnder(area, store, {below.x(), viewport->height() - 1}));
    }

    void aLongLineWrapsIntoVisualLinesAndItsEndShowsAtTheBottom()
    {
        InMemoryTextStore store;
        Area area(store, {420, 240});
        std::u16string digits;
        for (int i = 0; i < 500; ++i)
            digits += u"0123456789";
        append(store, digits);
        area.view->scrollToEnd();
        Area::settle();
        QCOMPARE(store.rowCount(), std::size_t{3});

        area.view->selectAll();
        QCOMPARE(area.view->selectedText(), qt(digits));
        // The end of the text is what the view shows after scrolling to the end.
        QCOMPARE(area.positionUnder(area.bottomRight()), digits.size());

        area.view->verticalScrollBar()->setValue(0);
        Area::settle();
        const std::size_t perLine = area.positionUnder(area.at(0, 1));
        QVERIFY(perLine > 10);
        QVERIFY(perLine < 200);
        QCOMPARE(area.positionUnder(area.at(0, 3)), 3 * perLine);
        QCOMPARE(area.positionUnder(area.at(4, 2)), 2 * perLine + 4);

        QTest::mousePress(area.view->viewport(), Qt::LeftButton, {}, area.at(3, 0));
        QTest::mouseMove(area.view->viewport(), area.at(3, 2));
        QTest::mouseRelease(area.view->viewport(), Qt::LeftButton, {}, area.at(3, 2));
        QCOMPARE(area.view->selectedText(), qt(digits).mid(3, static_cast<qsizetype>(2 * perLine)));

        // One step up from the end shows the start of that tall last row.
        area.view->scrollToEnd();
        Area::settle();
        area.view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        Area::settle();
        QCOMPARE(area.positionUnder(area.at(0, 0)), store.rowStart(2));

        // A text of a single tall row shows its start at the top and its end after scrolling to it.
        store.remove(0, store.length());
        append(store, digits.substr(0, 2000));
        area.view->verticalScrollBar()->setValue(0);
        Area::settle();
        QCOMPARE(area.positionUnder(area.at(1, 0)), std::size_t{1});
        area.view->scrollToEnd();
        Area::settle();
        QCOMPARE(area.positionUnder(area.bottomRight()), std::size_t{2000});
    }

    void theFindBarSearchesAsTypedStepsBothWaysAndCloses()
    {
        InMemoryTextStore store;
        Area area(store);
        const std::u16string gap = numberedLines(0, 100);
        append(store, u"Temp 21\n" + gap + u"TEMP 22\n" + gap + u"error\n" + gap + u"temp 23\n" + gap);
        area.view->scrollToEnd();
        Area::settle();
        QVERIFY(QTest::qWaitForWindowActive(&area.window));
        auto* field = area.bar->findChild<QLineEdit*>();
        const std::size_t first = 0;
        const std::size_t second = indexOf(store, u"TEMP 22");
        const std::size_t third = indexOf(store, u"temp 23");
        const auto selected = [&] { return area.view->selection().first; };
        // The match is on screen: a click at its place lands in its row.
        const auto shown = [&](std::size_t at) {
            const std::size_t row = store.rowAt(at);
            const std::size_t top = area.view->firstVisibleRow();
            return row >= top && row < top + 8;
        };

        area.bar->open();
        QVERIFY(area.bar->isVisible());
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, "te");
        QCOMPARE(selected(), first);
        QCOMPARE(area.view->selectedText(), QString("Te"));
        QVERIFY(shown(first));
        QTest::keyClicks(field, "mp");
        QCOMPARE(area.view->selectedText(), QString("Temp"));
        QCOMPARE(area.bar->status(), QString());

        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(selected(), second);
        QVERIFY(shown(second));
        QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(selected(), third);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(selected(), first);
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(selected(), third);
        QVERIFY(shown(third));
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(selected(), second);

        // More characters keep the match while it fits, then move on to the next that does.
        QTest::keyClicks(field, " 2");
        QCOMPARE(selected(), second);
        QTest::keyClicks(field, "3");
        QCOMPARE(selected(), third);
        QCOMPARE(area.view->selectedText(), QString("temp 23"));

        QTest::keyClicks(field, "x");
        QCOMPARE(area.bar->status(), QString::fromStdString(L10n::Find::noMatches()));
        QCOMPARE(selected(), third);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(area.bar->status(), QString::fromStdString(L10n::Find::noMatches()));
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(area.bar->status(), QString());
        QCOMPARE(area.view->selectedText(), QString("temp 23"));

        // A single match stays found from either side.
        area.bar->setText("ERROR");
        QCOMPARE(area.view->selectedText(), QString("error"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(area.view->selectedText(), QString("error"));
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(area.view->selectedText(), QString("error"));
        QCOMPARE(area.bar->status(), QString());

        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!area.bar->isVisible());
        QTRY_VERIFY(area.view->hasFocus());
        area.bar->open();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->selectedText(), QString("ERROR"));
    }

    void aSessionsOutputScrollsWithItsAutoscrollSettingAndFindOpensOverIt()
    {
        auto session = std::make_shared<velmora::testing::FakeSession>();
        auto& output = session->outputBuffer();
        ContentView content(session);
        content.resize(800, 600);
        content.show();
        QVERIFY(QTest::qWaitForWindowExposed(&content));
        OutputTextView& view = content.outputView();
        const auto& store = output.storage();
        const auto receive = [&](int from, int to) {
            output.appendSegments({{OutputSegment::Kind::data, numberedLines(from, to)}}, {});
            Area::settle();
        };

        receive(0, 400);
        output.appendNotice("Disconnected");
        Area::settle();
        QVERIFY(view.isScrolledToEnd());
        view.verticalScrollBar()->setValue(5);
        receive(400, 500);
        QVERIFY(view.isScrolledToEnd());
        session->display().autoscroll.set(false);
        view.verticalScrollBar()->setValue(5);
        receive(500, 600);
        QCOMPARE(view.firstVisibleRow(), std::size_t{5});

        content.openFind();
        QVERIFY(content.findBar().isVisible());
        QTest::keyClicks(content.findBar().findChild<QLineEdit*>(), "--- disc");
        QCOMPARE(view.selectedText(), QString("--- Disc"));
        QCOMPARE(view.selection().first, indexOf(store, u"--- Disconnected"));
        QVERIFY(view.firstVisibleRow() <= store.rowAt(view.selection().first));
        QVERIFY(view.firstVisibleRow() + 5 > store.rowAt(view.selection().first));
        // Esc hands the keyboard back to the output, not to the next field of the window.
        QVERIFY(QTest::qWaitForWindowActive(&content));
        QTest::keyClick(content.findBar().findChild<QLineEdit*>(), Qt::Key_Escape);
        QVERIFY(!content.findBar().isVisible());
        QTRY_VERIFY(view.hasFocus());

        output.clear();
        Area::settle();
        QVERIFY(view.selectedText().isEmpty());
        QCOMPARE(view.firstVisibleRow(), std::size_t{0});
    }

    void plainRowsLookAsLaidOutTextAndAStreamRepaintsOnlyTheTextsColumns()
    {
        InMemoryTextStore store;
        Area area(store, {900, 320});

        // Glyphs looked up by character stand where the text engine would put them.
        const QFont font = area.view->format(TextStyle::data).font();
        const FixedPitchGlyphs glyphs(font);
        QVERIFY(glyphs.isUsable());
        const std::u16string text = u"\u2190 temp:22.5,hum:40 {ok} ~|` \u00b0C";
        QImage shaped(420, 30, QImage::Format_RGB32);
        QImage looked = shaped;
        shaped.fill(Qt::white);
        looked.fill(Qt::white);
        {
            QPainter painter(&shaped);
            QTextLayout layout(qt(text), font);
            layout.beginLayout();
            layout.createLine().setLineWidth(1000);
            layout.endLayout();
            layout.draw(&painter, QPointF(3, 4));
        }
        {
            QPainter painter(&looked);
            const auto run = glyphs.run(text, 0);
            QVERIFY(run.has_value());
            painter.drawGlyphRun(QPointF(3, 4 + glyphs.ascent()), *run);
        }
        QCOMPARE(looked, shaped);
        // Whatever needs shaping, another font or a tab stop is left to the text engine.
        for (const std::u16string_view other :
            {u"a\tb", u"e\u0301", u"\u0645\u0631\u062d\u0628\u0627", u"\u6e29\u5ea6", u"\U0001F600"})
            QVERIFY(!glyphs.run(other, 0).has_value());

        // Short lines streaming in: the view repaints the columns that hold text, not the
        // backdrop beside them, and the scroll bar only when its handle moves.
        append(store, numberedLines(0, 2000));
        area.view->scrollToEnd();
        Area::settle();
        struct PaintLog : QObject {
            std::vector<QRect> viewport;
            int scrollBar = 0;
            QWidget* watchedViewport = nullptr;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Paint) {
                    if (watched == watchedViewport)
                        viewport.push_back(static_cast<QPaintEvent*>(event)->rect());
                    else
                        ++scrollBar;
                }
                return false;
            }
        } log;
        log.watchedViewport = area.view->viewport();
        area.view->viewport()->installEventFilter(&log);
        area.view->verticalScrollBar()->installEventFilter(&log);
        for (int i = 0; i < 5; ++i) {
            append(store, numberedLines(2000 + 10 * i, 2010 + 10 * i));
            area.view->scrollToEnd();
            Area::settle();
        }
        QVERIFY(area.view->isScrolledToEnd());
        QVERIFY(!log.viewport.empty());
        for (const QRect& painted : log.viewport) {
            QCOMPARE(painted.left(), 0);
            QVERIFY(painted.width() < area.view->viewport()->width() / 3);
        }
        QCOMPARE(log.scrollBar, 0);
        // Scrolled back to the top, the handle moves and is drawn there.
        area.view->verticalScrollBar()->setValue(0);
        Area::settle();
        QVERIFY(log.scrollBar > 0);
        QCOMPARE(log.viewport.back().width(), area.view->viewport()->width());
    }

    void clearingTheStoreLeavesNoStaleSelectionOrRows()
    {
        InMemoryTextStore store;
        Area area(store);
        append(store, numberedLines(0, 300));
        area.view->scrollToEnd();
        Area::settle();
        QWidget* viewport = area.view->viewport();

        // Cleared in the middle of a drag, before the view has painted again.
        QTest::mousePress(viewport, Qt::LeftButton, {}, area.at(0, 0));
        QTest::mouseMove(viewport, area.at(4, 5));
        QVERIFY(!area.view->selectedText().isEmpty());
        store.remove(0, store.length());
        QCOMPARE(area.view->selection(), (std::pair<std::size_t, std::size_t>{0, 0}));
        QTest::mouseMove(viewport, area.at(4, 8));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, area.at(4, 8));
        QCOMPARE(area.view->selection(), (std::pair<std::size_t, std::size_t>{0, 0}));
        QVERIFY(area.view->selectedText().isEmpty());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, area.at(2, 3));
        QVERIFY(area.view->selectedText().isEmpty());

        Area::settle();
        QCOMPARE(area.view->firstVisibleRow(), std::size_t{0});
        area.view->selectAll();
        QVERIFY(area.view->selectedText().isEmpty());
        QVERIFY(!area.view->find("line", false));

        append(store, u"fresh\n");
        Area::settle();
        QCOMPARE(area.positionUnder(area.at(2, 0)), std::size_t{2});
    }
};

QTEST_MAIN(OutputTextViewTests)
#include "OutputTextViewTests.moc"
