#include "localization/HelpTopic.h"
#include "localization/L10n.h"
#include "tests/localization/TextChecks.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using namespace velmora;
using namespace velmora::HelpBlocks;

using velmora::testing::withoutCode;

namespace {

constexpr std::string_view noBreakSpace = "\u00A0";

std::vector<HelpTopic> topicsIn(Language language)
{
    const L10n::ScopedLanguage scope(language);
    return L10n::Help::topics();
}

template <typename Text>
std::string textIn(Language language, const Text& text)
{
    const L10n::ScopedLanguage scope(language);
    return text();
}

std::string where(Language language, const HelpTopic& topic, std::size_t block)
{
    return std::string(rawValue(language)) + " " + topic.id + " block " + std::to_string(block + 1);
}

// Every text of a block a reader sees, in order; a screenshot's name is not one of them.
std::vector<std::string> textsOf(const HelpBlock& block)
{
    std::vector<std::string> texts;
    if (const auto* bullets = std::get_if<Bullets>(&block)) {
        texts = bullets->items;
    } else if (const auto* table = std::get_if<Table>(&block)) {
        for (const HelpRow& row : table->rows) {
            texts.push_back(row.key);
            texts.push_back(row.value);
        }
    } else if (const auto* shot = std::get_if<Screenshot>(&block)) {
        texts.push_back(shot->caption);
    } else if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
        texts.push_back(paragraph->text);
    } else if (const auto* heading = std::get_if<Heading>(&block)) {
        texts.push_back(heading->text);
    } else {
        texts.push_back(std::get<Tip>(block).text);
    }
    return texts;
}

std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The contents of the `code` spans of a text, in order.
std::vector<std::string> codeSpans(std::string_view text)
{
    std::vector<std::string> spans;
    for (std::size_t open = text.find('`'); open != std::string_view::npos;) {
        const std::size_t close = text.find('`', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        spans.emplace_back(text.substr(open + 1, close - open - 1));
        open = text.find('`', close + 1);
    }
    return spans;
}

std::string withoutBold(std::string text)
{
    for (std::size_t at = text.find("**"); at != std::string::npos; at = text.find("**", at)) {
        text.erase(at, 2);
    }
    return text;
}

std::string trimmed(std::string_view text)
{
    while (text.starts_with(' ') || text.starts_with(noBreakSpace)) {
        text.remove_prefix(text.starts_with(' ') ? 1 : noBreakSpace.size());
    }
    while (text.ends_with(' ') || text.ends_with(noBreakSpace)) {
        text.remove_suffix(text.ends_with(' ') ? 1 : noBreakSpace.size());
    }
    return std::string(text);
}

const HelpTopic& topicWithId(const std::vector<HelpTopic>& topics, std::string_view id)
{
    for (const HelpTopic& topic : topics) {
        if (topic.id == id) {
            return topic;
        }
    }
    ADD_FAILURE() << "no topic " << id;
    static const HelpTopic none;
    return none;
}

template <typename Kind>
const Kind& blockAt(const HelpTopic& topic, std::size_t index)
{
    static const Kind empty{};
    if (index >= topic.blocks.size() || !std::holds_alternative<Kind>(topic.blocks[index])) {
        ADD_FAILURE() << topic.id << " block " << index + 1 << " is not of the expected kind";
        return empty;
    }
    return std::get<Kind>(topic.blocks[index]);
}

// The status line is quoted as the output shows it, so it is the one code span that is translated.
bool isTranslatedCode(std::string_view englishSpan)
{
    return englishSpan == "--- Connected to … ---";
}

}  // namespace

TEST(HelpTopics, EnglishTopicsComeInTheirOrderWithTitlesSymbolsAndBlockCounts)
{
    struct Expected {
        std::string_view id;
        std::string_view title;
        std::string_view symbol;
        std::size_t blocks;
    };
    const std::array<Expected, 12> expected{{
        {"start", "Getting started", "play.circle", 6},
        {"port", "Port settings", "slider.horizontal.3", 7},
        {"send", "Sending", "paperplane", 10},
        {"display", "Display", "textformat.123", 9},
        {"output", "Output", "text.alignleft", 6},
        {"plotter", "Plotter", "chart.xyaxis.line", 9},
        {"lines", "DTR, RTS and reset", "bolt.horizontal", 3},
        {"tabs", "Tabs", "rectangle.stack", 2},
        {"reconnect", "Reconnecting", "arrow.triangle.2.circlepath", 3},
        {"shortcuts", "Keyboard shortcuts", "keyboard", 1},
        {"troubleshooting", "Troubleshooting", "wrench.and.screwdriver", 12},
        {"security", "Security and privacy", "lock.shield", 1},
    }};
    const std::vector<HelpTopic> topics = topicsIn(Language::en);
    ASSERT_EQ(topics.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(topics[i].id, expected[i].id);
        EXPECT_EQ(topics[i].title, expected[i].title);
        EXPECT_EQ(topics[i].symbol, expected[i].symbol);
        EXPECT_EQ(topics[i].blocks.size(), expected[i].blocks) << expected[i].id;
    }
}

TEST(HelpTopics, EnglishTextsReadAsWritten)
{
    const std::vector<HelpTopic> topics = topicsIn(Language::en);

    const HelpTopic& start = topicWithId(topics, "start");
    EXPECT_EQ(blockAt<Heading>(start, 1).text, "Connect in four steps");
    EXPECT_EQ(blockAt<Bullets>(start, 2).items.at(3),
              "Click **Connect** (⌘R). The dot turns green and `--- Connected to … ---` appears in the output.");
    EXPECT_EQ(blockAt<Bullets>(start, 2).items.at(1),
              "Select the **port** in the teal bar at the top. USB devices are listed first, followed by their "
              "product name, e.g. `/dev/ttyACM0 — Arduino Uno`.");
    EXPECT_EQ(blockAt<Screenshot>(start, 4),
              (Screenshot{"overview", "The main window: sent commands (→, blue) and replies (←) with timestamps."}));

    const Table& lineEndings = blockAt<Table>(topicWithId(topics, "send"), 4);
    const std::vector<HelpRow> expectedEndings{
        {"No line ending", "Only your text"},
        {"New line (LF)", "Appends `0A`; most common with `Serial.readStringUntil('\\n')`"},
        {"Carriage return (CR)", "Appends `0D`"},
        {"Both NL & CR (CRLF)", "Appends `0D 0A`; common for AT commands"},
    };
    EXPECT_EQ(lineEndings.rows, expectedEndings);

    const std::string layout = blockAt<Bullets>(topicWithId(topics, "plotter"), 6).items.at(4);
    EXPECT_TRUE(layout.starts_with("**Layout** sets how lines are shown:\n• *One chart*: all lines on one scale.\n"))
        << layout;
    EXPECT_TRUE(layout.ends_with("close with Esc.\nThe app suggests a layout when lines look flat because of the scale."))
        << layout;
    EXPECT_EQ(blockAt<Tip>(topicWithId(topics, "plotter"), 8).text,
              "Example for two values: `Serial.print(temp); Serial.print(\",\"); Serial.println(hum);`");

    EXPECT_EQ(blockAt<Tip>(topicWithId(topics, "lines"), 2).text,
              "Linux turns DTR and RTS on as soon as a port is opened. That is why many Arduino boards restart when "
              "you connect.");

    const HelpTopic& troubleshooting = topicWithId(topics, "troubleshooting");
    const std::vector<std::string>& missingPort = blockAt<Bullets>(troubleshooting, 1).items;
    ASSERT_EQ(missingPort.size(), 3U);
    EXPECT_EQ(missingPort[1],
              "Linux already has drivers for the common USB-to-serial chips (CH340, CP210x, FTDI, PL2303). Run "
              "`sudo dmesg` right after plugging in to see whether Linux created a port for your board.");
    EXPECT_EQ(missingPort[2],
              "Boards appear as `/dev/ttyACM…` or `/dev/ttyUSB…`, at the top of the list. Ports such as `/dev/ttyS0` "
              "are serial ports built into the computer itself.");
    EXPECT_EQ(blockAt<Heading>(troubleshooting, 2).text, "\"The port is already in use\"");
    EXPECT_EQ(blockAt<Heading>(troubleshooting, 10).text, "\"… bytes skipped\"");
    EXPECT_EQ(blockAt<Paragraph>(troubleshooting, 11).text,
              "Your device sends faster than the window can display, and more than 4 MB was queued. Choose a more "
              "compact display mode, turn timestamps off or reduce the amount of data.");

    const std::vector<HelpRow> expectedShortcuts{
        {"⌘R", "Connect / disconnect"},
        {"⌘T", "New tab"},
        {"⌘N", "New window"},
        {"⌘W", "Close tab (releases the port)"},
        {"⌘⇧L", "Show / hide plotter"},
        {"← / → · Esc", "Plotter card: previous / next value · close"},
        {"Enter", "Send message"},
        {"↑ / ↓", "Previous / next sent message"},
        {"⌘⇧H", "Toggle sending as Text or HEX"},
        {"⌘1 … ⌘6", "Choose display mode"},
        {"⌘K", "Clear output"},
        {"⌘F", "Find in output"},
        {"⌘S", "Save output"},
        {"⌘?", "Open this help"},
    };
    EXPECT_EQ(blockAt<Table>(topicWithId(topics, "shortcuts"), 0).rows, expectedShortcuts);

    const std::vector<std::string> expectedSecurity{
        "Velmora opens only the serial port you connect to, the files you choose when saving and its own settings "
        "file. It makes no network connections.",
        "A port is opened **exclusively**: while you are connected, no other program can open it (only programs "
        "running as root can get past this). The original port settings are restored when closing.",
        "Received data is only displayed, never executed or interpreted. Escape codes are removed, and characters "
        "that could silently reverse text are neutralised.",
        "Nothing is collected or sent anywhere. Your settings are stored only on this computer, in "
        "`~/.config/org.velmora.Velmora.json`.",
    };
    EXPECT_EQ(blockAt<Bullets>(topicWithId(topics, "security"), 0).items, expectedSecurity);
}

TEST(HelpTopics, EveryLanguageHasTheEnglishStructure)
{
    const std::vector<HelpTopic> english = topicsIn(Language::en);
    for (const Language language : allLanguages) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        ASSERT_EQ(topics.size(), english.size()) << rawValue(language);
        for (std::size_t t = 0; t < topics.size(); ++t) {
            const HelpTopic& topic = topics[t];
            const HelpTopic& reference = english[t];
            EXPECT_EQ(topic.id, reference.id);
            EXPECT_EQ(topic.symbol, reference.symbol) << topic.id;
            EXPECT_FALSE(topic.title.empty()) << topic.id;
            ASSERT_EQ(topic.blocks.size(), reference.blocks.size()) << rawValue(language) << " " << topic.id;
            for (std::size_t b = 0; b < topic.blocks.size(); ++b) {
                const HelpBlock& block = topic.blocks[b];
                const HelpBlock& englishBlock = reference.blocks[b];
                SCOPED_TRACE(where(language, topic, b));
                ASSERT_EQ(block.index(), englishBlock.index());
                if (const auto* bullets = std::get_if<Bullets>(&block)) {
                    EXPECT_EQ(bullets->items.size(), std::get<Bullets>(englishBlock).items.size());
                } else if (const auto* table = std::get_if<Table>(&block)) {
                    EXPECT_EQ(table->rows.size(), std::get<Table>(englishBlock).rows.size());
                } else if (const auto* shot = std::get_if<Screenshot>(&block)) {
                    EXPECT_EQ(shot->name, std::get<Screenshot>(englishBlock).name);
                }
                const std::vector<std::string> texts = textsOf(block);
                const std::vector<std::string> englishTexts = textsOf(englishBlock);
                ASSERT_EQ(texts.size(), englishTexts.size());
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    SCOPED_TRACE(texts[i]);
                    EXPECT_FALSE(texts[i].empty());
                    EXPECT_EQ(occurrences(texts[i], "\n"), occurrences(englishTexts[i], "\n"));
                    const std::vector<std::string> spans = codeSpans(texts[i]);
                    const std::vector<std::string> englishSpans = codeSpans(englishTexts[i]);
                    ASSERT_EQ(spans.size(), englishSpans.size());
                    for (std::size_t s = 0; s < spans.size(); ++s) {
                        if (!isTranslatedCode(englishSpans[s])) {
                            EXPECT_EQ(spans[s], englishSpans[s]);
                        }
                    }
                }
            }
        }
    }
}

TEST(HelpTopics, ShortcutsAreOneTableOfFourteenRowsAndSecurityOneListOfFour)
{
    for (const Language language : allLanguages) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        const HelpTopic& shortcuts = topicWithId(topics, "shortcuts");
        ASSERT_EQ(shortcuts.blocks.size(), 1U) << rawValue(language);
        EXPECT_EQ(blockAt<Table>(shortcuts, 0).rows.size(), 14U) << rawValue(language);

        const HelpTopic& security = topicWithId(topics, "security");
        ASSERT_EQ(security.blocks.size(), 1U) << rawValue(language);
        EXPECT_EQ(blockAt<Bullets>(security, 0).items.size(), 4U) << rawValue(language);
    }
}

// The help describes this Linux program: nothing in it may name a mechanism of another system.
TEST(HelpTopics, NoTextInAnyLanguageNamesAnotherSystemsMechanism)
{
    // "Mac" only as a word of its own: "Machine" or "Mache" are fine.
    const auto namesMac = [](std::string_view text) {
        for (std::size_t at = text.find("Mac"); at != std::string_view::npos; at = text.find("Mac", at + 1)) {
            const bool wordStart = at == 0 || !std::isalpha(static_cast<unsigned char>(text[at - 1]));
            const bool wordEnd = at + 3 == text.size() || !std::isalpha(static_cast<unsigned char>(text[at + 3]));
            if (wordStart && wordEnd) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(namesMac("stored only on this Mac."));
    ASSERT_TRUE(namesMac("Mac"));
    ASSERT_FALSE(namesMac("Machine, iMacro, Mache"));

    const std::array<std::string_view, 9> foreign{"macos", "/dev/cu.", "sandbox", "usbmodem", "bluetooth-incoming",
                                                  "finder", "gatekeeper", "app store", "system settings"};
    for (const Language language : allLanguages) {
        for (const HelpTopic& topic : topicsIn(language)) {
            std::vector<std::string> texts{topic.title};
            for (const HelpBlock& block : topic.blocks) {
                for (std::string& text : textsOf(block)) {
                    texts.push_back(std::move(text));
                }
            }
            for (const std::string& text : texts) {
                SCOPED_TRACE(std::string(rawValue(language)) + " " + topic.id + ": " + text);
                EXPECT_FALSE(namesMac(text));
                std::string lower = text;
                for (char& c : lower) {
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
                for (const std::string_view word : foreign) {
                    EXPECT_EQ(lower.find(word), std::string::npos) << word;
                }
            }
        }
    }
}

// Device paths in the help are ones the port list shows on Linux, in the list's "path — name" form.
TEST(HelpTopics, PortPathsAreLinuxSerialDevicesInEveryLanguage)
{
    for (const Language language : allLanguages) {
        SCOPED_TRACE(std::string(rawValue(language)));
        const std::vector<HelpTopic> topics = topicsIn(language);
        std::size_t paths = 0;
        for (const HelpTopic& topic : topics) {
            for (const HelpBlock& block : topic.blocks) {
                for (const std::string& text : textsOf(block)) {
                    EXPECT_EQ(withoutCode(text).find("/dev/"), std::string::npos) << text;
                    for (const std::string& span : codeSpans(text)) {
                        if (!span.starts_with("/dev/")) {
                            continue;
                        }
                        ++paths;
                        const std::string path = span.substr(0, span.find(' '));
                        const std::string_view name = std::string_view(path).substr(std::string_view("/dev/").size());
                        const bool known = name.starts_with("ttyACM") || name.starts_with("ttyUSB") ||
                                           name.starts_with("ttyS");
                        EXPECT_TRUE(known) << span;
                    }
                }
            }
        }
        EXPECT_GE(paths, 4U);

        const std::string& choosePort = blockAt<Bullets>(topicWithId(topics, "start"), 2).items.at(1);
        EXPECT_EQ(codeSpans(choosePort), std::vector<std::string>{"/dev/ttyACM0 \u2014 Arduino Uno"});
    }
}

TEST(HelpTopics, ScreenshotsHaveAKnownNameAndACaptionInEveryLanguage)
{
    const std::set<std::string> known{"overview", "hex-dump", "plotter-cards", "plotter-card-detail", "garbled-data"};
    for (const Language language : allLanguages) {
        std::set<std::string> used;
        for (const HelpTopic& topic : topicsIn(language)) {
            for (const HelpBlock& block : topic.blocks) {
                if (const auto* shot = std::get_if<Screenshot>(&block)) {
                    EXPECT_EQ(known.count(shot->name), 1U) << shot->name;
                    EXPECT_FALSE(trimmed(shot->caption).empty()) << rawValue(language) << " " << shot->name;
                    EXPECT_NE(shot->caption, shot->name);
                    used.insert(shot->name);
                }
            }
        }
        EXPECT_EQ(used, known) << rawValue(language);
    }
}

TEST(HelpTopics, InlineMarkdownIsBalancedInEveryText)
{
    for (const Language language : allLanguages) {
        for (const HelpTopic& topic : topicsIn(language)) {
            EXPECT_EQ(topic.title.find_first_of("*`"), std::string::npos) << topic.title;
            for (std::size_t b = 0; b < topic.blocks.size(); ++b) {
                for (const std::string& text : textsOf(topic.blocks[b])) {
                    SCOPED_TRACE(where(language, topic, b) + ": " + text);
                    EXPECT_EQ(occurrences(text, "`") % 2, 0U);
                    const std::string prose = withoutCode(text);
                    EXPECT_EQ(occurrences(prose, "**") % 2, 0U);
                    EXPECT_EQ(occurrences(withoutBold(prose), "*") % 2, 0U);
                }
            }
        }
    }
}

TEST(HelpTopics, OtherLanguagesAreTranslatedNotCopied)
{
    const std::vector<HelpTopic> english = topicsIn(Language::en);
    for (const Language language : {Language::nl, Language::de, Language::fr, Language::es}) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        ASSERT_EQ(topics.size(), english.size());
        // The plotter keeps its English name where the catalogue does.
        const std::string plotterLabel = textIn(language, [] { return L10n::Plotter::title(); });
        std::set<std::string> titles;
        for (std::size_t t = 0; t < topics.size(); ++t) {
            const HelpTopic& topic = topics[t];
            titles.insert(topic.title);
            if (topic.title == english[t].title) {
                EXPECT_EQ(topic.title, plotterLabel) << rawValue(language) << " " << topic.id;
            }
            for (std::size_t b = 0; b < topic.blocks.size(); ++b) {
                const HelpBlock& block = topic.blocks[b];
                if (std::holds_alternative<Table>(block) || std::holds_alternative<Heading>(block)) {
                    continue;
                }
                const std::vector<std::string> texts = textsOf(block);
                const std::vector<std::string> englishTexts = textsOf(english[t].blocks[b]);
                for (std::size_t i = 0; i < texts.size() && i < englishTexts.size(); ++i) {
                    EXPECT_NE(texts[i], englishTexts[i]) << where(language, topic, b);
                }
            }
        }
        EXPECT_EQ(titles.size(), topics.size()) << rawValue(language);
    }
}

// Help that names a button, menu or option names it as the interface labels it in that language.
TEST(HelpTopics, QuotedLabelsAreTheCataloguesLabelsInEveryLanguage)
{
    using L10n::Plotter::layoutName;
    const auto bold = [](const std::string& label) { return "**" + label + "**"; };
    for (const Language language : allLanguages) {
        const L10n::ScopedLanguage scope(language);
        const std::vector<HelpTopic> topics = L10n::Help::topics();
        SCOPED_TRACE(std::string(rawValue(language)));

        const std::string prompt = L10n::Input::promptConnected("x");
        const std::string enterKey = prompt.substr(prompt.find('(') + 1, prompt.find(' ', prompt.find('(')) -
                                                                             prompt.find('(') - 1);
        const std::string close = L10n::Plotter::close();
        const std::string escapeKey = close.substr(close.find('(') + 1, close.find(')') - close.find('(') - 1);
        const std::string connected = L10n::Status::connected("PATH", "SETTINGS");
        const std::string statusLine = "`--- " + connected.substr(0, connected.find("PATH")) + "… ---`";
        const std::string dropped = L10n::Status::droppedBytes(7);
        const std::string skipped = trimmed(dropped.substr(1, dropped.find(':') - 1));
        const std::string find = L10n::Menu::find();
        const std::string inOtherTab = trimmed(L10n::Header::portInUseInOtherTab(""));

        const HelpTopic& start = topicWithId(topics, "start");
        EXPECT_NE(blockAt<Bullets>(start, 2).items.at(3).find(bold(L10n::Header::connect())), std::string::npos);
        EXPECT_NE(blockAt<Bullets>(start, 2).items.at(3).find(statusLine), std::string::npos) << statusLine;
        EXPECT_NE(blockAt<Paragraph>(start, 3).text.find(bold(enterKey)), std::string::npos) << enterKey;
        EXPECT_NE(blockAt<Paragraph>(start, 3).text.find(bold(L10n::Input::send())), std::string::npos);
        EXPECT_NE(blockAt<Tip>(start, 5).text.find("*" + L10n::Board::usbSerial("CH340") + "*"), std::string::npos);

        const HelpTopic& port = topicWithId(topics, "port");
        EXPECT_NE(blockAt<Heading>(port, 0).text.find(L10n::Header::baudRate()), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(port, 1).text.find(bold(L10n::Settings::customBaud())), std::string::npos);
        const std::vector<HelpRow>& frame = blockAt<Table>(port, 4).rows;
        ASSERT_EQ(frame.size(), 4U);
        EXPECT_EQ(frame[0].key, L10n::Settings::dataBits());
        EXPECT_EQ(frame[1].key, L10n::Settings::parity());
        EXPECT_EQ(frame[1].value, L10n::Parity::none() + " (N), " + L10n::Parity::even() + " (E), " +
                                      L10n::Parity::odd() + " (O)");
        EXPECT_EQ(frame[2].key, L10n::Settings::stopBits());
        EXPECT_EQ(frame[3].key, L10n::Settings::flowControl());
        EXPECT_EQ(frame[3].value, L10n::FlowControl::none() + ", " + L10n::FlowControl::rtsCts() + ", " +
                                      L10n::FlowControl::xonXoff());
        EXPECT_NE(blockAt<Paragraph>(port, 5).text.find(bold(L10n::Settings::defaults())), std::string::npos);

        const HelpTopic& send = topicWithId(topics, "send");
        EXPECT_NE(blockAt<Paragraph>(send, 0).text.find(bold(enterKey)), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(send, 0).text.find(bold(L10n::Input::send())), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(send, 2).text.find(bold(L10n::Send::text())), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(send, 2).text.find(bold(L10n::Send::hex())), std::string::npos);
        const std::vector<HelpRow>& endings = blockAt<Table>(send, 4).rows;
        ASSERT_EQ(endings.size(), 4U);
        EXPECT_EQ(endings[0].key, L10n::LineEnding::none());
        EXPECT_EQ(endings[1].key, L10n::LineEnding::lf());
        EXPECT_EQ(endings[2].key, L10n::LineEnding::cr());
        EXPECT_EQ(endings[3].key, L10n::LineEnding::crlf());
        EXPECT_NE(blockAt<Paragraph>(send, 8).text.find(L10n::Input::send()), std::string::npos);
        EXPECT_NE(blockAt<Tip>(send, 9).text.find(bold(L10n::Footer::echo())), std::string::npos);

        const HelpTopic& display = topicWithId(topics, "display");
        EXPECT_NE(blockAt<Paragraph>(display, 0).text.find(bold(L10n::Display::mode())), std::string::npos);
        const std::vector<HelpRow>& modes = blockAt<Table>(display, 1).rows;
        ASSERT_EQ(modes.size(), 6U);
        EXPECT_EQ(modes[0].key, "⌘1 " + L10n::Display::text());
        EXPECT_EQ(modes[1].key, "⌘2 " + L10n::Display::hex());
        EXPECT_EQ(modes[2].key, "⌘3 " + L10n::Display::hexDump());
        EXPECT_EQ(modes[3].key, "⌘4 " + L10n::Display::decimal());
        EXPECT_EQ(modes[4].key, "⌘5 " + L10n::Display::binary());
        EXPECT_EQ(modes[5].key, "⌘6 " + L10n::Display::asciiEscaped());
        EXPECT_TRUE(blockAt<Screenshot>(display, 2).caption.starts_with(L10n::Display::hexDump()));
        const std::vector<std::string>& byteOptions = blockAt<Bullets>(display, 7).items;
        ASSERT_EQ(byteOptions.size(), 3U);
        EXPECT_TRUE(byteOptions[0].starts_with(bold(L10n::Display::bytesPerLine())));
        EXPECT_TRUE(byteOptions[2].starts_with(bold(L10n::Display::packetGap())));

        const HelpTopic& output = topicWithId(topics, "output");
        const std::vector<std::string>& outputOptions = blockAt<Bullets>(output, 1).items;
        ASSERT_EQ(outputOptions.size(), 5U);
        EXPECT_TRUE(outputOptions[0].starts_with(bold(L10n::Footer::autoscroll())));
        EXPECT_TRUE(outputOptions[1].starts_with(bold(L10n::Footer::timestamp())));
        EXPECT_TRUE(outputOptions[2].starts_with(bold(find.substr(0, find.find("…"))))) << outputOptions[2];
        EXPECT_TRUE(outputOptions[3].starts_with(bold(L10n::Footer::save())));
        EXPECT_TRUE(outputOptions[4].starts_with(bold(L10n::Footer::clear())));
        EXPECT_NE(blockAt<Paragraph>(output, 0).text.find(L10n::Menu::serialPort()), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(output, 2).text.find(statusLine), std::string::npos) << statusLine;

        const HelpTopic& plotter = topicWithId(topics, "plotter");
        EXPECT_NE(blockAt<Paragraph>(plotter, 0).text.find(bold(L10n::Plotter::title())), std::string::npos);
        EXPECT_NE(blockAt<Screenshot>(plotter, 1).caption.find(layoutName(PlotLayout::cards)), std::string::npos);
        const std::vector<std::string>& controls = blockAt<Bullets>(plotter, 6).items;
        ASSERT_EQ(controls.size(), 7U);
        EXPECT_TRUE(controls[2].starts_with(bold(L10n::Plotter::points())));
        EXPECT_TRUE(controls[3].starts_with(bold(L10n::Plotter::statistics())));
        EXPECT_NE(controls[3].find("*" + L10n::Plotter::points() + "*"), std::string::npos);
        EXPECT_TRUE(controls[4].starts_with(bold(L10n::Plotter::layout())));
        for (const PlotLayout layout : {PlotLayout::shared, PlotLayout::stacked, PlotLayout::cards}) {
            EXPECT_NE(controls[4].find("\n• *" + layoutName(layout) + "*"), std::string::npos) << layoutName(layout);
        }
        EXPECT_NE(controls[4].find(escapeKey), std::string::npos) << escapeKey;
        EXPECT_TRUE(controls[5].starts_with(bold(L10n::Plotter::smooth())));
        EXPECT_TRUE(controls[6].starts_with(bold(L10n::Plotter::pause())));

        const HelpTopic& lines = topicWithId(topics, "lines");
        EXPECT_NE(blockAt<Paragraph>(lines, 0).text.find(L10n::Menu::serialPort()), std::string::npos);
        const std::vector<HelpRow>& resets = blockAt<Table>(lines, 1).rows;
        ASSERT_EQ(resets.size(), 3U);
        const std::string arduino = L10n::Lines::resetArduino();
        const std::string esp = L10n::Lines::resetESP32();
        EXPECT_EQ(resets[0].key, arduino.substr(0, arduino.find(" (")));
        EXPECT_EQ(resets[1].key, esp.substr(0, esp.find(" (")));

        EXPECT_NE(blockAt<Bullets>(topicWithId(topics, "tabs"), 1).items.at(0).find("*" + inOtherTab + "*"),
                  std::string::npos)
            << inOtherTab;

        const HelpTopic& reconnect = topicWithId(topics, "reconnect");
        EXPECT_NE(blockAt<Paragraph>(reconnect, 0).text.find(bold(L10n::State::waiting())), std::string::npos);
        EXPECT_NE(blockAt<Paragraph>(reconnect, 1).text.find(bold(L10n::Header::disconnect())), std::string::npos);
        EXPECT_NE(blockAt<Tip>(reconnect, 2).text.find(bold(L10n::Header::disconnect())), std::string::npos);

        const std::vector<HelpRow>& keys = blockAt<Table>(topicWithId(topics, "shortcuts"), 0).rows;
        ASSERT_EQ(keys.size(), 14U);
        EXPECT_EQ(keys[5].key, "← / → · " + escapeKey);
        EXPECT_EQ(keys[6].key, enterKey);

        const HelpTopic& troubleshooting = topicWithId(topics, "troubleshooting");
        EXPECT_NE(blockAt<Bullets>(troubleshooting, 9).items.at(2).find(bold(L10n::FlowControl::none())),
                  std::string::npos);
        EXPECT_NE(blockAt<Heading>(troubleshooting, 10).text.find("… " + skipped), std::string::npos) << skipped;
    }
}

TEST(HelpTopics, TypographyFollowsTheCataloguesRulesPerLanguage)
{
    for (const Language language : allLanguages) {
        for (const HelpTopic& topic : topicsIn(language)) {
            std::vector<std::string> texts{topic.title};
            for (const HelpBlock& block : topic.blocks) {
                for (std::string& text : textsOf(block)) {
                    texts.push_back(std::move(text));
                }
            }
            for (const std::string& text : texts) {
                SCOPED_TRACE(std::string(rawValue(language)) + " " + topic.id + ": " + text);
                // "⌘?" is a key, not a question mark.
                std::string prose = withoutCode(text);
                for (std::size_t at = prose.find("⌘?"); at != std::string::npos; at = prose.find("⌘?")) {
                    prose.erase(at, std::string_view("⌘?").size());
                }
                EXPECT_EQ(text.find("..."), std::string::npos);
                switch (language) {
                case Language::en:
                case Language::nl:
                    EXPECT_EQ(text.find(noBreakSpace), std::string::npos);
                    for (const std::string_view mark : {"„", "“", "«", "»"}) {
                        EXPECT_EQ(prose.find(mark), std::string::npos) << mark;
                    }
                    break;
                case Language::de:
                    EXPECT_EQ(text.find(noBreakSpace), std::string::npos);
                    for (const std::string_view mark : {"«", "»", "'", "\""}) {
                        EXPECT_EQ(prose.find(mark), std::string::npos) << mark;
                    }
                    EXPECT_EQ(occurrences(prose, "„"), occurrences(prose, "“"));
                    break;
                case Language::fr:
                    for (std::size_t at = prose.find_first_of(":;?!"); at != std::string::npos;
                         at = prose.find_first_of(":;?!", at + 1)) {
                        EXPECT_TRUE(std::string_view(prose).substr(0, at).ends_with(noBreakSpace)) << "at " << at;
                    }
                    for (std::size_t at = prose.find("«"); at != std::string::npos; at = prose.find("«", at + 1)) {
                        EXPECT_EQ(prose.compare(at + std::string_view("«").size(), noBreakSpace.size(), noBreakSpace),
                                  0);
                    }
                    EXPECT_EQ(occurrences(prose, "«"), occurrences(prose, "»"));
                    for (const std::string_view mark : {"„", "“", "\""}) {
                        EXPECT_EQ(prose.find(mark), std::string::npos) << mark;
                    }
                    break;
                case Language::es:
                    EXPECT_EQ(text.find(noBreakSpace), std::string::npos);
                    EXPECT_EQ(occurrences(prose, "¿"), occurrences(prose, "?"));
                    EXPECT_EQ(occurrences(prose, "«"), occurrences(prose, "»"));
                    for (const std::string_view mark : {"„", "“", "'", "\""}) {
                        EXPECT_EQ(prose.find(mark), std::string::npos) << mark;
                    }
                    break;
                }
            }
        }
    }
}

TEST(HelpTopics, AreBuiltInTheLanguageCurrentWhenRequested)
{
    const std::vector<HelpTopic> german = topicsIn(Language::de);
    EXPECT_EQ(german.front().title, "Erste Schritte");
    EXPECT_EQ(topicsIn(Language::fr).front().title, "Premiers pas");
    EXPECT_EQ(topicsIn(Language::de), german);

    std::set<std::string> ids;
    for (const HelpTopic& topic : german) {
        EXPECT_TRUE(ids.insert(topic.id).second) << topic.id;
    }
}

TEST(HelpTopicSearch, SearchableTextJoinsTitleAndEveryBlockTextWithSingleBlanks)
{
    const HelpTopic topic{
        "id",
        "Title",
        "symbol",
        {
            Paragraph{"A **paragraph**."},
            Heading{"Heading"},
            Bullets{{"one", "two"}},
            Table{{{"⌘K", "Clear"}, {"`0D`", "CR"}}},
            Tip{"Tip text"},
            Screenshot{"image-name", "Caption"},
            Bullets{{}},
            Table{{}},
        },
    };
    EXPECT_EQ(topic.searchableText(), "Title A **paragraph**. Heading one two ⌘K Clear `0D` CR Tip text Caption");

    const HelpTopic bare{"bare", "Only a title", "symbol", {}};
    EXPECT_EQ(bare.searchableText(), "Only a title");
}

TEST(HelpTopicSearch, RealTopicsAreSearchableByTableCellsAndCaptionsButNotImageNames)
{
    for (const Language language : allLanguages) {
        const std::vector<HelpTopic> topics = topicsIn(language);
        const HelpTopic& display = topicWithId(topics, "display");
        const std::string text = display.searchableText();
        SCOPED_TRACE(std::string(rawValue(language)));
        EXPECT_TRUE(text.starts_with(display.title + " "));
        const Table& modes = blockAt<Table>(display, 1);
        for (const HelpRow& row : modes.rows) {
            EXPECT_NE(text.find(row.key + " " + row.value), std::string::npos) << row.key;
        }
        EXPECT_NE(text.find(blockAt<Screenshot>(display, 2).caption), std::string::npos);
        EXPECT_EQ(text.find("hex-dump"), std::string::npos);

        for (const HelpTopic& topic : topics) {
            const std::string searchable = topic.searchableText();
            for (const HelpBlock& block : topic.blocks) {
                if (const auto* shot = std::get_if<Screenshot>(&block)) {
                    EXPECT_EQ(searchable.find(shot->name), std::string::npos) << shot->name;
                }
                for (const std::string& piece : textsOf(block)) {
                    EXPECT_NE(searchable.find(piece), std::string::npos) << piece;
                }
            }
        }
    }
}
