#include "localization/HelpTopic.h"
#include "localization/L10n.h"
#include "tests/localization/TextChecks.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using namespace velmora;
using namespace velmora::HelpBlocks;
using velmora::testing::occurrences;
using velmora::testing::typographyProblem;
using velmora::testing::withoutCode;

namespace {

std::vector<HelpTopic> topicsIn(Language language)
{
    const L10n::ScopedLanguage scope(language);
    return L10n::Help::topics();
}

// Every text of a block a reader sees, in order; a screenshot's name is not one of them.
std::vector<std::string> textsOf(const HelpBlock& block)
{
    if (const auto* bullets = std::get_if<Bullets>(&block))
        return bullets->items;
    std::vector<std::string> texts;
    if (const auto* table = std::get_if<Table>(&block)) {
        for (const HelpRow& row : table->rows) {
            texts.push_back(row.key);
            texts.push_back(row.value);
        }
    } else if (const auto* shot = std::get_if<Screenshot>(&block)) {
        texts.push_back(shot->caption);
    } else {
        std::visit(
            [&texts](const auto& content) {
                if constexpr (requires { content.text; })
                    texts.push_back(content.text);
            },
            block);
    }
    return texts;
}

// The title and then every block's texts.
std::vector<std::string> textsOf(const HelpTopic& topic)
{
    std::vector<std::string> texts{topic.title};
    for (const HelpBlock& block : topic.blocks) {
        for (std::string& text : textsOf(block))
            texts.push_back(std::move(text));
    }
    return texts;
}

// The contents of the `code` spans of a text, in order.
std::vector<std::string> codeSpans(std::string_view text)
{
    std::vector<std::string> spans;
    for (std::size_t open = text.find('`'); open != std::string_view::npos;) {
        const std::size_t close = text.find('`', open + 1);
        if (close == std::string_view::npos)
            break;
        spans.emplace_back(text.substr(open + 1, close - open - 1));
        open = text.find('`', close + 1);
    }
    return spans;
}

std::string withoutBold(std::string text)
{
    for (std::size_t at = text.find("**"); at != std::string::npos; at = text.find("**", at))
        text.erase(at, 2);
    return text;
}

} // namespace

TEST(HelpTopics, TwelveTopicsInOrderWithTheirSymbolsBlocksAndScreenshotsInEveryLanguage)
{
    struct Expected {
        std::string_view id;
        std::string_view symbol;
        std::size_t blocks;
    };
    const std::array<Expected, 12> expected{{
        {"start", "play.circle", 6},
        {"port", "slider.horizontal.3", 7},
        {"send", "paperplane", 10},
        {"display", "textformat.123", 9},
        {"output", "text.alignleft", 6},
        {"plotter", "chart.xyaxis.line", 9},
        {"lines", "bolt.horizontal", 3},
        {"tabs", "rectangle.stack", 2},
        {"reconnect", "arrow.triangle.2.circlepath", 3},
        {"shortcuts", "keyboard", 1},
        {"troubleshooting", "wrench.and.screwdriver", 12},
        {"security", "lock.shield", 1},
    }};
    for (const Language language : allLanguages) {
        SCOPED_TRACE(std::string(rawValue(language)));
        const std::vector<HelpTopic> topics = topicsIn(language);
        ASSERT_EQ(topics.size(), expected.size());
        std::set<std::string> titles;
        std::set<std::string> screenshots;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(topics[i].id, expected[i].id);
            EXPECT_EQ(topics[i].symbol, expected[i].symbol);
            EXPECT_EQ(topics[i].blocks.size(), expected[i].blocks) << expected[i].id;
            titles.insert(topics[i].title);
            // Each screenshot is one the image lookup knows, with a caption even where the image is missing.
            for (const HelpBlock& block : topics[i].blocks) {
                if (const auto* shot = std::get_if<Screenshot>(&block)) {
                    EXPECT_NE(shot->caption.find_first_not_of(" \u00A0"), std::string::npos) << shot->name;
                    screenshots.insert(shot->name);
                }
            }
        }
        EXPECT_EQ(titles.size(), expected.size());
        EXPECT_EQ(screenshots,
            (std::set<std::string>{"overview", "hex-dump", "plotter-cards", "plotter-card-detail", "garbled-data"}));
        ASSERT_TRUE(std::holds_alternative<Table>(topics[9].blocks.at(0)));
        EXPECT_EQ(std::get<Table>(topics[9].blocks[0]).rows.size(), 14U);
        ASSERT_TRUE(std::holds_alternative<Bullets>(topics[11].blocks.at(0)));
        EXPECT_EQ(std::get<Bullets>(topics[11].blocks[0]).items.size(), 4U);
        const L10n::ScopedLanguage scope(language);
        EXPECT_EQ(topics[3].title, L10n::Display::mode());
    }
}

TEST(HelpTopics, EveryTextKeepsTheEnglishCodeAndLineBreaksWithBalancedMarkdown)
{
    const std::vector<HelpTopic> english = topicsIn(Language::en);
    for (const Language language : allLanguages) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        ASSERT_EQ(topics.size(), english.size());
        for (std::size_t t = 0; t < topics.size(); ++t) {
            const std::vector<std::string> texts = textsOf(topics[t]);
            const std::vector<std::string> englishTexts = textsOf(english[t]);
            ASSERT_EQ(texts.size(), englishTexts.size()) << topics[t].id;
            EXPECT_EQ(topics[t].title.find_first_of("*`"), std::string::npos) << topics[t].title;
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const std::string& text = texts[i];
                SCOPED_TRACE(std::string(rawValue(language)) + " " + topics[t].id + ": " + text);
                EXPECT_FALSE(text.empty());
                EXPECT_EQ(occurrences(text, "\n"), occurrences(englishTexts[i], "\n"));
                // The status line is quoted as the output shows it, the one code span that is translated.
                std::vector<std::string> spans = codeSpans(text);
                std::vector<std::string> englishSpans = codeSpans(englishTexts[i]);
                std::erase_if(spans, [](const std::string& span) { return span.starts_with("--- "); });
                std::erase_if(englishSpans, [](const std::string& span) { return span.starts_with("--- "); });
                EXPECT_EQ(spans, englishSpans);
                EXPECT_EQ(occurrences(text, "`") % 2, 0U);
                const std::string prose = withoutCode(text);
                EXPECT_EQ(occurrences(prose, "**") % 2, 0U);
                EXPECT_EQ(occurrences(withoutBold(prose), "*") % 2, 0U);
                EXPECT_EQ(typographyProblem(language, text), "");
            }
        }
    }
}

TEST(HelpTopics, OtherLanguagesAreTranslatedNotCopied)
{
    const std::vector<HelpTopic> english = topicsIn(Language::en);
    for (const Language language : {Language::nl, Language::de, Language::fr, Language::es}) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        for (std::size_t t = 0; t < topics.size(); ++t) {
            for (std::size_t b = 0; b < topics[t].blocks.size(); ++b) {
                // Table cells and headings may be code, keys or names that every language shares.
                const HelpBlock& block = topics[t].blocks[b];
                if (std::holds_alternative<Table>(block) || std::holds_alternative<Heading>(block))
                    continue;
                const std::vector<std::string> texts = textsOf(block);
                const std::vector<std::string> englishTexts = textsOf(english[t].blocks[b]);
                for (std::size_t i = 0; i < texts.size() && i < englishTexts.size(); ++i)
                    EXPECT_NE(texts[i], englishTexts[i]) << rawValue(language) << " " << topics[t].id;
            }
        }
    }
}

// The help describes this Linux program: nothing in it may name a mechanism of another system,
// and the device paths it shows are ones the port list shows, in the list's "path — name" form.
TEST(HelpTopics, TextsDescribeTheLinuxProgramAndItsDevicePaths)
{
    // "Mac" only as a word of its own: "Machine" or "Mache" are fine.
    const auto namesMac = [](std::string_view text) {
        for (std::size_t at = text.find("Mac"); at != std::string_view::npos; at = text.find("Mac", at + 1)) {
            const bool wordStart = at == 0 || !std::isalpha(static_cast<unsigned char>(text[at - 1]));
            const bool wordEnd = at + 3 == text.size() || !std::isalpha(static_cast<unsigned char>(text[at + 3]));
            if (wordStart && wordEnd)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(namesMac("stored only on this Mac."));
    ASSERT_FALSE(namesMac("Machine, iMacro, Mache"));

    const std::array<std::string_view, 9> foreign{"macos", "/dev/cu.", "sandbox", "usbmodem", "bluetooth-incoming",
        "finder", "gatekeeper", "app store", "system settings"};
    for (const Language language : allLanguages) {
        std::size_t paths = 0;
        for (const HelpTopic& topic : topicsIn(language)) {
            for (const std::string& text : textsOf(topic)) {
                SCOPED_TRACE(std::string(rawValue(language)) + " " + topic.id + ": " + text);
                EXPECT_FALSE(namesMac(text));
                std::string lower = text;
                for (char& c : lower)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                for (const std::string_view word : foreign)
                    EXPECT_EQ(lower.find(word), std::string::npos) << word;
                EXPECT_EQ(withoutCode(text).find("/dev/"), std::string::npos);
                for (const std::string& span : codeSpans(text)) {
                    if (!span.starts_with("/dev/"))
                        continue;
                    ++paths;
                    const std::string_view name = std::string_view(span).substr(5);
                    EXPECT_TRUE(name.starts_with("ttyACM") || name.starts_with("ttyUSB") || name.starts_with("ttyS"))
                        << span;
                    if (span.find(' ') != std::string::npos) {
                        EXPECT_EQ(span, "/dev/ttyACM0 \u2014 Arduino Uno");
                    }
                }
            }
        }
        EXPECT_GE(paths, 4U) << rawValue(language);
    }
}

// Help that names a button, menu, option or message names it as the interface shows it in that language.
TEST(HelpTopics, QuotedLabelsAreTheCataloguesLabelsInEveryLanguage)
{
    using namespace L10n;
    const auto bold = [](const std::string& label) { return "**" + label + "**"; };
    const auto italic = [](const std::string& label) { return "*" + label + "*"; };
    const auto before = [](const std::string& text, std::string_view end) { return text.substr(0, text.find(end)); };
    const std::vector<std::pair<std::string_view, std::function<std::string()>>> quotes{
        {"start", [&] { return bold(Header::connect()); }},
        {"start", [&] { return italic(Board::usbSerial("CH340")); }},
        {"port", [&] { return bold(Settings::customBaud()); }},
        {"port", [&] { return Parity::none() + " (N), " + Parity::even() + " (E), " + Parity::odd() + " (O)"; }},
        {"port", [&] { return FlowControl::none() + ", " + FlowControl::rtsCts() + ", " + FlowControl::xonXoff(); }},
        {"port", [&] { return bold(Settings::defaults()); }},
        {"send", [&] { return bold(Send::text()); }},
        {"send", [&] { return bold(Send::hex()); }},
        {"send", [&] { return bold(Footer::echo()); }},
        {"display", [&] { return bold(Display::mode()); }},
        {"display", [&] { return "⌘1 " + Display::text() + " `Hello`"; }},
        {"display", [&] { return "⌘3 " + Display::hexDump() + " `"; }},
        {"display", [&] { return "⌘6 " + Display::asciiEscaped() + " `"; }},
        {"display", [&] { return bold(Display::bytesPerLine()); }},
        {"output", [&] { return bold(Footer::autoscroll()); }},
        {"output", [&] { return bold(before(Menu::find(), "…")); }},
        {"output", [&] { return bold(Footer::save()); }},
        {"output", [&] { return bold(Footer::clear()); }},
        {"output", [&] { return Menu::serialPort(); }},
        {"output", [&] { return "`--- " + before(Status::connected("@", ""), "@") + "… ---`"; }},
        {"plotter", [&] { return bold(Plotter::title()); }},
        {"plotter", [&] { return bold(Plotter::points()); }},
        {"plotter", [&] { return bold(Plotter::statistics()); }},
        {"plotter", [&] { return bold(Plotter::layout()); }},
        {"plotter", [&] { return "\n• " + italic(Plotter::layoutName(PlotLayout::stacked)); }},
        {"plotter", [&] { return bold(Plotter::smooth()); }},
        {"lines", [&] { return before(Lines::resetArduino(), " (") + " "; }},
        {"tabs", [&] { return italic(Header::portInUseInOtherTab("").substr(1)); }},
        {"reconnect", [&] { return bold(State::waiting()); }},
        {"reconnect", [&] { return bold(Header::disconnect()); }},
        {"shortcuts",
            [&] { return "← / → · " + before(Plotter::close().substr(Plotter::close().find('(') + 1), ")"); }},
        {"troubleshooting", [&] { return bold(FlowControl::none()); }},
        {"troubleshooting", [&] { return "… " + before(Status::droppedBytes(7).substr(2), ":"); }},
    };
    for (const Language language : allLanguages) {
        const ScopedLanguage scope(language);
        std::map<std::string, std::string> searchable;
        for (const HelpTopic& topic : Help::topics())
            searchable[topic.id] = topic.searchableText();
        for (const auto& [id, quote] : quotes)
            EXPECT_NE(searchable[std::string(id)].find(quote()), std::string::npos)
                << rawValue(language) << " " << quote();
    }
}

TEST(HelpTopicSearch, SearchableTextJoinsTitleAndEveryBlockTextWithSingleBlanks)
{
    const HelpTopic topic{"id", "Title", "symbol",
        {Paragraph{"A **paragraph**."}, Heading{"Heading"}, Bullets{{"one", "two"}},
            Table{{{"⌘K", "Clear"}, {"`0D`", "CR"}}}, Tip{"Tip text"}, Screenshot{"image-name", "Caption"}, Bullets{{}},
            Table{{}}}};
    EXPECT_EQ(topic.searchableText(), "Title A **paragraph**. Heading one two ⌘K Clear `0D` CR Tip text Caption");

    EXPECT_EQ((HelpTopic{"bare", "Only a title", "symbol", {}}.searchableText()), "Only a title");
}
