#include "app/common/Colours.h"
#include "app/common/Icons.h"
#include "app/help/HelpScreenshots.h"
#include "app/help/HelpTopicView.h"
#include "app/help/HelpView.h"
#include "app/help/HelpViewState.h"
#include "app/help/HelpWindow.h"
#include "app/help/InlineMarkdown.h"
#include "localization/L10n.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <algorithm>

using namespace velmora;
using namespace velmora::HelpBlocks;

namespace {

// Topics shaped like the real ones, each mentioning "baud" (or not) in a different kind of block.
std::vector<HelpTopic> sampleTopics()
{
    return {
        {"start", "Getting started", "play.circle",
            {Paragraph{"Pick the port and the **baud rate**, then connect."}, Tip{"Press ⌘R to connect."}}},
        {"port", "Port settings", "slider.horizontal.3",
            {Heading{"Speed"}, Table{{{"Rate", "Common values are 9600 and 115200 Baud."}, {"Frame", "`8N1`"}}}}},
        {"send", "Sending", "paperplane",
            {Bullets{{"Type a message and press Return.", "Line endings add `0D 0A` after it."}}}},
        {"display", "Display", "textformat.123",
            {Paragraph{"Text, hex or both."}, Screenshot{"baud-picker", "The byte view"}}},
        {"output", "Output", "text.alignleft", {Screenshot{"output", "Text at the wrong BAUD rate looks garbled."}}},
        {"plotter", "Plotter", "chart.xyaxis.line", {Heading{"Numbers at any baud"}}},
        {"tabs", "Tabs", "rectangle.stack", {Tip{"Each tab is its own connection."}}},
    };
}

std::vector<std::string> ids(const std::vector<HelpTopic>& topics)
{
    std::vector<std::string> result;
    for (const HelpTopic& topic : topics)
        result.push_back(topic.id);
    return result;
}

std::vector<QString> listedTitles(const HelpView& view)
{
    std::vector<QString> titles;
    for (int row = 0; row < view.topicList()->count(); ++row)
        titles.push_back(view.topicList()->item(row)->text());
    return titles;
}

// The label whose shown text (without markup) is `text`, anywhere below `root`.
QLabel* labelShowing(const QWidget* root, const QString& text)
{
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QTextDocument document;
        document.setHtml(label->text());
        const QString shown = label->textFormat() == Qt::RichText ? document.toPlainText() : label->text();
        if (shown == text)
            return label;
    }
    return nullptr;
}

// The character formats of the label's rich text, with the text each applies to.
std::vector<std::pair<QString, QTextCharFormat>> runs(const QLabel* label)
{
    QTextDocument document;
    document.setHtml(label->text());
    std::vector<std::pair<QString, QTextCharFormat>> result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            result.emplace_back(it.fragment().text(), it.fragment().charFormat());
    }
    return result;
}

bool writeImage(const QString& path, QColor colour, QSize size = QSize(120, 80))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "PNG");
}

} // namespace

class HelpViewTests : public QObject {
    Q_OBJECT

private:
    L10n::ScopedLanguage english{Language::en};

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setApplicationName(QStringLiteral("velmora-help-tests"));
    }

    void markdownSpansKeepEverythingElseAsTypedAndBecomeEscapedHtml()
    {
        using Spans = std::vector<MarkdownSpan>;
        QCOMPARE(parseInlineMarkdown("Press **Connect** now"),
            (Spans{{"Press ", false, false, false}, {"Connect", true, false, false}, {" now", false, false, false}}));
        QCOMPARE(parseInlineMarkdown("*slow* and `0D 0A`"),
            (Spans{{"slow", false, true, false}, {" and ", false, false, false}, {"0D 0A", false, false, true}}));
        // Italics and code inside bold; stars inside code are literal.
        QCOMPARE(parseInlineMarkdown("**a *b* `c*d`**"),
            (Spans{{"a ", true, false, false}, {"b", true, true, false}, {" ", true, false, false},
                {"c*d", true, false, true}}));
        // Unmatched markers stay as typed, and so do markers next to blanks.
        QCOMPARE(parseInlineMarkdown("Use ** to mark, or **this"),
            (Spans{{"Use ** to mark, or **this", false, false, false}}));
        QCOMPARE(parseInlineMarkdown("2 * 3 * 4"), (Spans{{"2 * 3 * 4", false, false, false}}));
        QCOMPARE(parseInlineMarkdown("a `b and `` c"), (Spans{{"a `b and `` c", false, false, false}}));
        QCOMPARE(parseInlineMarkdown("``a`b`` `c`"),
            (Spans{{"a`b", false, false, true}, {" ", false, false, false}, {"c", false, false, true}}));
        QCOMPARE(parseInlineMarkdown("**bold** then **"),
            (Spans{{"bold", true, false, false}, {" then **", false, false, false}}));
        // White space and line breaks as typed.
        QCOMPARE(parseInlineMarkdown("a  b\n  **c**"),
            (Spans{{"a  b\n  ", false, false, false}, {"c", true, false, false}}));
        QVERIFY(parseInlineMarkdown("").empty());

        // As HTML: escaped, with the line breaks kept inside one paragraph.
        const QString html = inlineMarkdownToHtml("<b>x</b> & `a<b`\nnext  line");
        QVERIFY2(html.contains("&lt;b&gt;x&lt;/b&gt; &amp; <code>a&lt;b</code><br>next  line"), qPrintable(html));
        QTextDocument document;
        document.setHtml(html);
        QCOMPARE(document.toPlainText(), QString("<b>x</b> & a<b\nnext  line"));
        QCOMPARE(document.blockCount(), 1);
    }

    void tableValuesShowCodeSpansAndUnmatchedStarsStayAsTyped()
    {
        HelpTopicView view({"send", "Sending", "paperplane",
            {Table{{{"⌘⇧L", "Sends `0D 0A` after the **text**"}}}, Paragraph{"Use ** twice for *slanted* text"}}});

        // Key symbols in the platform's notation, the key in medium weight.
        QLabel* key = labelShowing(view.widget(), "Ctrl+Shift+L");
        QVERIFY(key);
        QCOMPARE(key->font().weight(), QFont::Medium);

        QLabel* value = labelShowing(view.widget(), "Sends 0D 0A after the text");
        QVERIFY(value);
        bool code = false;
        bool bold = false;
        for (const auto& [text, format] : runs(value)) {
            code = code || (text == "0D 0A" && QFontInfo(format.font()).fixedPitch());
            bold = bold || (text == "text" && format.fontWeight() >= QFont::Bold);
            if (text.startsWith("Sends"))
                QVERIFY(!QFontInfo(format.font()).fixedPitch());
        }
        QVERIFY(code);
        QVERIFY(bold);

        QLabel* paragraph = labelShowing(view.widget(), "Use ** twice for slanted text");
        QVERIFY(paragraph);
        for (const auto& [text, format] : runs(paragraph)) {
            QVERIFY(format.fontWeight() < QFont::Bold);
            QCOMPARE(format.fontItalic(), text == "slanted");
        }
    }

    void searchIgnoresCaseAndBlanksAndLooksThroughEveryBlock()
    {
        const auto topics = sampleTopics();
        // Title, paragraph, table value, caption and heading count; a screenshot's image name does not.
        const std::vector<std::string> withBaud{"start", "port", "output", "plotter"};
        QCOMPARE(ids(filteredTopics(topics, "baud")), withBaud);
        QCOMPARE(ids(filteredTopics(topics, " \tbAuD\t ")), withBaud);
        QCOMPARE(ids(filteredTopics(topics, "0d 0a")), std::vector<std::string>{"send"});
        QCOMPARE(ids(filteredTopics(topics, "Each tab")), std::vector<std::string>{"tabs"});
        // Blanks inside the query are part of it.
        QVERIFY(filteredTopics(topics, "baud  rate").empty());
        QCOMPARE(filteredTopics(topics, "\t \t"), topics);
        QCOMPARE(filteredTopics(topics, ""), topics);
        QVERIFY(filteredTopics(topics, "xyzzy").empty());
        QVERIFY(filteredTopics({}, "").empty());
    }

    void theSidebarListsMatchesAndSaysWhenThereAreNone()
    {
        HelpView view(sampleTopics());
        view.resize(900, 640);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QCOMPARE(view.searchField()->placeholderText(), QString("Search help"));
        QCOMPARE(view.topicList()->count(), 7);
        QCOMPARE(view.topicList()->currentItem()->text(), QString("Getting started"));
        QVERIFY(!view.topicList()->item(2)->icon().isNull());
        QVERIFY(view.widget(0)->width() >= HelpView::sidebarMinimumWidth);
        QVERIFY(view.widget(0)->width() <= HelpView::sidebarIdealWidth + 10);
        QCOMPARE(view.topicView()->topic().id, std::string("start"));

        // Choosing a topic shows it.
        view.topicList()->setCurrentRow(3);
        QCOMPARE(view.state().selection, std::optional<std::string>("display"));
        QCOMPARE(view.topicView()->topic().id, std::string("display"));

        // It drops out of the results: the first result takes its place.
        QTest::keyClicks(view.searchField(), "BAUD");
        QCOMPARE(listedTitles(view), (std::vector<QString>{"Getting started", "Port settings", "Output", "Plotter"}));
        QCOMPARE(view.state().selection, std::optional<std::string>("start"));
        QCOMPARE(view.topicList()->currentRow(), 0);
        QCOMPARE(view.topicView()->topic().id, std::string("start"));

        // A selection among the results stays.
        view.topicList()->setCurrentRow(2);
        view.searchField()->setText("baud");
        QCOMPARE(view.state().selection, std::optional<std::string>("output"));
        QCOMPARE(view.topicList()->currentItem()->text(), QString("Output"));

        // Nothing matches: the message instead of the list, the topic being read stays.
        QVERIFY(!view.noResultsLabel()->isVisible());
        view.searchField()->setText("xyzzy");
        QVERIFY(view.noResultsLabel()->isVisible());
        QCOMPARE(view.noResultsLabel()->text(), QString("No topics found"));
        QCOMPARE(view.noResultsLabel()->palette().color(QPalette::WindowText),
            view.palette().color(QPalette::PlaceholderText));
        QVERIFY(!view.topicList()->isVisible());
        QCOMPARE(view.state().selection, std::optional<std::string>("output"));
        QVERIFY(view.topicView() && view.topicView()->isVisible());
        QCOMPARE(view.topicView()->topic().id, std::string("output"));

        // Blanks only list everything again, with the selection kept.
        view.searchField()->setText("  ");
        QVERIFY(!view.noResultsLabel()->isVisible());
        QCOMPARE(view.topicList()->count(), 7);
        QCOMPARE(view.topicList()->currentItem()->text(), QString("Output"));
        QCOMPARE(view.topicView()->topic().id, std::string("output"));
    }

    void anEmptyTopicListShowsNothing()
    {
        HelpView view({});
        QVERIFY(!view.state().selection);
        QVERIFY(!view.topicView());
        QVERIFY(!view.noResultsLabel()->isHidden());
        view.searchField()->setText("baud");
        QVERIFY(!view.topicView());
    }

    void aTopicShowsItsBlocksInOrderInOneReadableColumn()
    {
        const HelpTopic topic{"start", "Getting started", "play.circle",
            {Paragraph{"Velmora is a serial terminal."}, Heading{"First steps"},
                Bullets{{"Connect the board.", "Press ⌘R."}}, Table{{{"a", "1"}, {"b", "2"}, {"c", "3"}}},
                Tip{"Keep the cable short."}, Screenshot{"no-such-screenshot", "Never shown"}}};
        HelpTopicView view(topic);
        view.resize(1200, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        auto* title = view.findChild<QLabel*>("helpTitle");
        QVERIFY(title);
        QCOMPARE(title->text(), QString("Getting started"));
        QCOMPARE(title->palette().color(QPalette::WindowText), accentTeal);
        QCOMPARE(title->font().weight(), QFont::DemiBold);
        auto* heading = view.findChild<QLabel*>("helpHeading");
        QVERIFY(heading->font().pointSizeF() > view.font().pointSizeF());
        QVERIFY(title->font().pointSizeF() > heading->font().pointSizeF());

        // Blocks in the topic's order; the screenshot without an image draws nothing.
        QStringList order;
        for (QWidget* child : title->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->objectName().startsWith("help") && child != title)
                order.append(child->objectName());
        }
        QCOMPARE(order, (QStringList{"helpParagraph", "helpHeading", "helpBullets", "helpTable", "helpTip"}));
        QVERIFY(!view.findChild<QWidget*>("helpScreenshot"));
        QVERIFY(!labelShowing(&view, "Never shown"));

        QVERIFY(labelShowing(view.findChild<QWidget*>("helpBullets"), "Press Ctrl+R."));
        QCOMPARE(view.findChild<QWidget*>("helpBullets")->findChildren<QLabel*>().size(), 4);
        QVERIFY(labelShowing(view.findChild<QWidget*>("helpTip"), "Tip"));
        QVERIFY(labelShowing(view.findChild<QWidget*>("helpTip"), "Keep the cable short."));

        // At most the readable width, from the leading edge, with selectable text.
        QWidget* column = title->parentWidget();
        QCOMPARE(column->width(), HelpTopicView::readableWidth);
        QVERIFY(column->x() < 40);
        QVERIFY(title->textInteractionFlags() & Qt::TextSelectableByMouse);
        QVERIFY(
            labelShowing(&view, "Velmora is a serial terminal.")->textInteractionFlags() & Qt::TextSelectableByMouse);
    }

    void screenshotsComeInTheLanguageWithEnglishAsFallback()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(first.isValid() && second.isValid());
        QVERIFY(writeImage(first.filePath("overview-de.png"), Qt::red));
        QVERIFY(writeImage(first.filePath("overview-en.png"), Qt::green));
        QVERIFY(writeImage(second.filePath("overview-de.png"), Qt::blue));
        QVERIFY(writeImage(second.filePath("hex-dump-en.png"), Qt::green));
        // A German file that does not decode gives way to the English one.
        QFile broken(first.filePath("garbled-data-de.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a png");
        broken.close();
        QVERIFY(writeImage(second.filePath("garbled-data-en.png"), Qt::yellow));

        const QStringList folders{first.path(), second.path()};
        const auto colour = [&](std::string_view name, Language language) {
            const QImage image = helpScreenshot(name, language, folders);
            return image.isNull() ? QColor() : image.pixelColor(0, 0);
        };
        QCOMPARE(colour("overview", Language::de), QColor(Qt::red));
        QCOMPARE(colour("overview", Language::en), QColor(Qt::green));
        QCOMPARE(colour("overview", Language::fr), QColor(Qt::green));
        QCOMPARE(colour("hex-dump", Language::nl), QColor(Qt::green));
        QCOMPARE(colour("garbled-data", Language::de), QColor(Qt::yellow));
        QVERIFY(!colour("plotter-cards", Language::de).isValid());
        QVERIFY(!colour("plotter-cards", Language::en).isValid());

        // The installed data folders come first, the built-in set last.
        const QStringList standard = helpScreenshotFolders();
        QCOMPARE(standard.last(), QString(":/help-screenshots"));
        QCOMPARE(standard.first(),
            QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("help-screenshots"));
    }

    void anInstalledScreenshotIsShownWithItsCaption()
    {
        const QDir folder(helpScreenshotFolders().first());
        QVERIFY(QDir().mkpath(folder.path()));
        const QString file = folder.filePath("help-view-test-en.png");
        QVERIFY(writeImage(file, Qt::darkCyan, QSize(1600, 1000)));

        HelpTopicView view({"display", "Display", "textformat.123", {Screenshot{"help-view-test", "The ⌘K view"}}});
        view.resize(900, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QFile::remove(file);

        auto* figure = view.findChild<QWidget*>("helpScreenshot");
        QVERIFY(figure);
        QLabel* caption = labelShowing(figure, "The Ctrl+K view");
        QVERIFY(caption);
        QCOMPARE(caption->palette().color(QPalette::WindowText), view.palette().color(QPalette::PlaceholderText));
        QVERIFY(caption->font().pointSizeF() < view.font().pointSizeF());
        QWidget* picture = nullptr;
        for (QWidget* child : figure->findChildren<QWidget*>()) {
            if (child->accessibleName() == "The Ctrl+K view")
                picture = child;
        }
        QVERIFY(picture);
        // Scaled down to the column, keeping its proportions.
        QVERIFY(picture->width() <= HelpTopicView::readableWidth);
        QVERIFY(picture->width() > HelpTopicView::readableWidth - 20);
        QVERIFY(qAbs(picture->height() * 1.6 - picture->width()) < 20);
        QCOMPARE(
            picture->grab().toImage().pixelColor(picture->width() / 2, picture->height() / 2), QColor(Qt::darkCyan));
    }

    void everyBuiltInTopicsSymbolHasABundledIcon()
    {
        const auto known = knownSymbols();
        for (const HelpTopic& topic : L10n::Help::topics())
            QVERIFY2(std::find(known.begin(), known.end(), std::string_view(topic.symbol)) != known.end(),
                topic.symbol.c_str());
    }

    void theWindowKeepsItsSelectionAndSearchWhenReopened()
    {
        HelpWindow window(sampleTopics());
        QCOMPARE(window.windowTitle(), QString("Velmora Help"));
        QCOMPARE(window.minimumSize(), QSize(720, 460));
        QCOMPARE(window.size(), QSize(900, 640));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        HelpView* view = window.view();
        view->searchField()->setText("baud");
        view->topicList()->setCurrentRow(3);
        QCOMPARE(view->state().selection, std::optional<std::string>("plotter"));

        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.view(), view);
        QCOMPARE(view->searchField()->text(), QString("baud"));
        QCOMPARE(view->state().searchText, QString("baud"));
        QCOMPARE(view->topicList()->count(), 4);
        QCOMPARE(view->topicList()->currentItem()->text(), QString("Plotter"));
        QCOMPARE(view->topicView()->topic().id, std::string("plotter"));
    }
};

QTEST_MAIN(HelpViewTests)
#include "HelpViewTests.moc"
