#include "core/platform/InMemorySettingsStore.h"
#include "core/send/SendComposer.h"
#include "core/send/SendMode.h"
#include "core/session/SettingKeys.h"
#include "core/text/Timestamp.h"
#include "localization/L10n.h"
#include "tests/helpers/CountingAlert.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using namespace velmora;

namespace {

using Bytes = std::vector<std::uint8_t>;

// 2024-03-05 14:03:07.250 UTC; stamps are compared with formatTimestamp, which shows local time.
const auto t0 = std::chrono::sys_days{std::chrono::year{2024} / 3 / 5} + 14h + 3min + 7s + 250ms;

using velmora::testing::CountingAlert;

SendConditions connected()
{
    return {true, true, false, t0};
}

struct OwnSettings {
    InMemorySettingsStore settings;
};

// A composer over a settings store of its own.
struct Composer : OwnSettings, SendComposer {
    Composer() : SendComposer(settings, SettingKeys::sendMode, SettingKeys::lineEnding) {}
    Composer(SendMode mode, LineEnding ending, std::string input) : Composer() { load(mode, ending, std::move(input)); }

    void load(SendMode mode, LineEnding ending, std::string input)
    {
        sendMode.set(mode);
        lineEnding.set(ending);
        inputText.set(std::move(input));
    }
};

// Sends each text in turn in text mode.
void sendAll(SendComposer& sender, const std::vector<std::string>& texts)
{
    CountingAlert alert;
    for (const auto& text : texts) {
        sender.inputText.set(text);
        ASSERT_TRUE(sender.send(connected(), alert)) << text;
    }
    ASSERT_EQ(alert.count, 0);
}

} // namespace

TEST(SendOptions, RawValuesRoundTripAndAnUnknownStoredValueReadsAsTextModeAndLineFeed)
{
    for (auto mode : allSendModes)
        EXPECT_EQ(sendModeFromRaw(rawValue(mode)), mode);
    EXPECT_EQ(rawValue(SendMode::hex), "hex");
    for (std::string_view stored : {"", "HEX", "hex ", "binary"})
        EXPECT_EQ(sendModeFromRaw(stored), SendMode::text) << stored;

    EXPECT_EQ(allLineEndings, (std::array{LineEnding::none, LineEnding::lf, LineEnding::cr, LineEnding::crlf}));
    for (auto ending : allLineEndings)
        EXPECT_EQ(lineEndingFromRaw(rawValue(ending)), ending);
    EXPECT_EQ(rawValue(LineEnding::crlf), "crlf");
    for (std::string_view stored : {"", "LF", "CRLF", "crlf ", "\r\n", "None"})
        EXPECT_EQ(lineEndingFromRaw(stored), LineEnding::lf) << stored;
}

TEST(SendComposer, TextModeSendsUtf8FollowedByTheLineEndingAndEchoesTheTextWithItsMarker)
{
    CountingAlert alert;
    Composer sender(SendMode::text, LineEnding::crlf, "Hello");
    auto message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x0D, 0x0A}));
    EXPECT_EQ(message->echo, (EchoLine{u"Hello", std::nullopt, u"<CR><LF>"}));
    EXPECT_EQ(sender.inputText.value(), "");
    EXPECT_EQ(sender.history(), std::vector<std::string>{"Hello"});

    sender.load(SendMode::text, LineEnding::lf, "Gr\u00FC\u00DFe");
    message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e', 0x0A}));
    EXPECT_EQ(message->echo, (EchoLine{u"Gr\u00FC\u00DFe", std::nullopt, u"<LF>"}));

    sender.load(SendMode::text, LineEnding::cr, "AT");
    message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{'A', 'T', 0x0D}));
    EXPECT_EQ(message->echo, (EchoLine{u"AT", std::nullopt, u"<CR>"}));

    sender.load(SendMode::text, LineEnding::none, "AT");
    message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{'A', 'T'}));
    EXPECT_EQ(message->echo, (EchoLine{u"AT", std::nullopt, std::nullopt}));
    EXPECT_EQ(alert.count, 0);
}

TEST(SendComposer, AnEmptyTextWithALineEndingSendsJustTheEndingAndLeavesTheHistoryUnchanged)
{
    CountingAlert alert;
    Composer sender;
    sendAll(sender, {"abc"});

    sender.lineEnding.set(LineEnding::lf);
    auto message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, Bytes{0x0A});
    EXPECT_EQ(message->echo, (EchoLine{u"", std::nullopt, u"<LF>"}));
    EXPECT_EQ(sender.history(), std::vector<std::string>{"abc"});

    // With no line ending there is nothing to send at all.
    sender.lineEnding.set(LineEnding::none);
    EXPECT_EQ(sender.payloadBytes(), BytesOrHexError(Bytes{}));
    EXPECT_EQ(sender.send(connected(), alert), std::nullopt);
    EXPECT_EQ(sender.history(), std::vector<std::string>{"abc"});
    EXPECT_EQ(alert.count, 0);
}

TEST(SendComposer, HexModeSendsTheParsedBytesWithoutLineEndingAndEchoesThemInCanonicalForm)
{
    CountingAlert alert;
    Composer sender(SendMode::hex, LineEnding::crlf, "0a 0B");
    EXPECT_EQ(sender.payloadBytes(), BytesOrHexError(Bytes{0x0A, 0x0B}));
    auto message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{0x0A, 0x0B}));
    EXPECT_EQ(message->echo, (EchoLine{u"0A 0B", std::nullopt, std::nullopt}));
    EXPECT_EQ(sender.history(), std::vector<std::string>{"0a 0B"});
    EXPECT_EQ(sender.inputText.value(), "");

    sender.inputText.set("0xde,0xAD:be-ef;1");
    message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x01}));
    EXPECT_EQ(message->echo, (EchoLine{u"DE AD BE EF 01", std::nullopt, std::nullopt}));
    EXPECT_EQ(sender.history(), (std::vector<std::string>{"0a 0B", "0xde,0xAD:be-ef;1"}));

    // Nothing but separators: nothing to send, and the field keeps them.
    sender.inputText.set(" , ");
    EXPECT_EQ(sender.send(connected(), alert), std::nullopt);
    EXPECT_EQ(sender.inputText.value(), " , ");
    EXPECT_EQ(sender.history().size(), 2u);
    EXPECT_EQ(alert.count, 0);
}

TEST(SendComposer, InputThatCannotBeSentBeepsOnceAndStaysInTheField)
{
    CountingAlert alert;
    Composer sender(SendMode::hex, LineEnding::lf, "01 0G");
    EXPECT_EQ(sender.payloadBytes(), BytesOrHexError(HexParseError::invalidCharacter("0G")));
    EXPECT_EQ(sender.send(connected(), alert), std::nullopt);
    EXPECT_EQ(alert.count, 1);
    EXPECT_EQ(sender.inputText.value(), "01 0G");
    EXPECT_TRUE(sender.history().empty());

    sender.load(SendMode::text, LineEnding::lf, std::string(4097, 'a'));
    EXPECT_EQ(sender.send(connected(), alert), std::nullopt);
    EXPECT_EQ(alert.count, 2);
    EXPECT_EQ(sender.inputText.value(), std::string(4097, 'a'));
    EXPECT_TRUE(sender.history().empty());
}

TEST(SendComposer, TextModeAllowsAtMost4096BytesOfUtf8BeforeTheLineEnding)
{
    std::string twoByteCharacters;
    for (int i = 0; i < 2048; ++i)
        twoByteCharacters += "\u00E9";
    ASSERT_EQ(twoByteCharacters.size(), 4096u);

    Composer sender(SendMode::text, LineEnding::crlf, twoByteCharacters);
    const auto payload = sender.payloadBytes();
    ASSERT_TRUE(payload.ok());
    EXPECT_EQ(payload.bytes().size(), 4098u);
    EXPECT_EQ(Bytes(payload.bytes().end() - 2, payload.bytes().end()), (Bytes{0x0D, 0x0A}));

    CountingAlert alert;
    const auto message = sender.send(connected(), alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes.size(), 4098u);
    EXPECT_EQ(alert.count, 0);

    sender.load(SendMode::text, LineEnding::none, twoByteCharacters + "a");
    EXPECT_EQ(sender.payloadBytes(), BytesOrHexError(HexParseError::tooLong(4096)));
    // Text mode never shows a HEX error under the field, even for text it would refuse.
    EXPECT_EQ(sender.hexInputError(), std::nullopt);
}

TEST(SendComposer, HexInputErrorIsTheParserMessageInHexModeAndNeverInTextMode)
{
    L10n::ScopedLanguage english(Language::en);
    Composer sender(SendMode::text, LineEnding::lf, "ZZ");
    EXPECT_EQ(sender.hexInputError(), std::nullopt);

    sender.sendMode.set(SendMode::hex);
    EXPECT_EQ(sender.hexInputError(), "'ZZ' is not a valid HEX value. Use 0\u20139 and A\u2013F, e.g. 01 0A FF.");
    sender.inputText.set("0x123");
    EXPECT_EQ(sender.hexInputError(), "'0x123' has an odd number of digits. Write bytes as pairs, e.g. 0A or 01 0A.");
    sender.inputText.set(std::string(2 * 4097, '0'));
    EXPECT_EQ(sender.hexInputError(), "The message is too long (maximum 4096 bytes).");
    sender.inputText.set(std::string(2 * 4096, '0'));
    EXPECT_EQ(sender.hexInputError(), std::nullopt);
    sender.inputText.set("");
    EXPECT_EQ(sender.hexInputError(), std::nullopt);
}

TEST(SendComposer, NothingHappensWhileNotConnected)
{
    CountingAlert alert;
    SendConditions disconnected = connected();
    disconnected.connected = false;

    Composer sender(SendMode::text, LineEnding::lf, "Hello");
    EXPECT_EQ(sender.send(disconnected, alert), std::nullopt);
    EXPECT_EQ(sender.inputText.value(), "Hello");
    EXPECT_TRUE(sender.history().empty());

    // Not even the beep for input that could not be sent anyway.
    sender.load(SendMode::hex, LineEnding::lf, "ZZ");
    EXPECT_EQ(sender.send(disconnected, alert), std::nullopt);
    EXPECT_EQ(sender.inputText.value(), "ZZ");
    EXPECT_EQ(alert.count, 0);
}

TEST(SendComposer, EchoIsLeftOutWhenOffAndStampedWithTheTimeAndASpaceWhenTimestampsAreOn)
{
    CountingAlert alert;
    auto conditions = connected();
    conditions.echoSent = false;
    conditions.showTimestamps = true;
    Composer sender(SendMode::text, LineEnding::lf, "quiet");
    auto message = sender.send(conditions, alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->bytes, (Bytes{'q', 'u', 'i', 'e', 't', 0x0A}));
    EXPECT_EQ(message->echo, std::nullopt);
    EXPECT_EQ(sender.history(), std::vector<std::string>{"quiet"});
    EXPECT_EQ(sender.inputText.value(), "");

    conditions.echoSent = true;
    sender.inputText.set("loud");
    message = sender.send(conditions, alert);
    ASSERT_TRUE(message && message->echo && message->echo->stamp);
    EXPECT_EQ(*message->echo->stamp, formatTimestamp(t0) + u" ");

    sender.load(SendMode::hex, LineEnding::lf, "ff");
    message = sender.send(conditions, alert);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->echo, (EchoLine{u"FF", formatTimestamp(t0) + u" ", std::nullopt}));
}

TEST(SendComposer, TheSameTextTwiceInARowIsStoredOnceAndEntriesKeepTheTextAsTyped)
{
    Composer sender;
    sendAll(sender, {"a", "a"});
    EXPECT_EQ(sender.history(), std::vector<std::string>{"a"});

    sendAll(sender, {"b", "a"});
    EXPECT_EQ(sender.history(), (std::vector<std::string>{"a", "b", "a"}));

    // In HEX mode two spellings of the same bytes are two entries.
    CountingAlert alert;
    sender.sendMode.set(SendMode::hex);
    for (std::string text : {"0a", "0A", "0A"}) {
        sender.inputText.set(text);
        ASSERT_TRUE(sender.send(connected(), alert));
    }
    EXPECT_EQ(sender.history(), (std::vector<std::string>{"a", "b", "a", "0a", "0A"}));
}

TEST(SendComposer, OneHundredAndOneMessagesKeepTheLastHundred)
{
    Composer sender;
    std::vector<std::string> texts;
    for (int i = 1; i <= 101; ++i)
        texts.push_back("message " + std::to_string(i));
    sendAll(sender, texts);

    ASSERT_EQ(sender.history().size(), 100u);
    EXPECT_EQ(sender.history().front(), "message 2");
    EXPECT_EQ(sender.history().back(), "message 101");
    EXPECT_EQ(sender.history(), std::vector<std::string>(texts.begin() + 1, texts.end()));
}

TEST(SendComposer, UpWalksBackToTheOldestEntryAndDownWalksForwardToTheDraft)
{
    Composer sender;
    sender.inputText.set("x");
    sender.historyUp();
    EXPECT_EQ(sender.inputText.value(), "x") << "no history, nothing to walk";

    sendAll(sender, {"a", "b", "c"});
    sender.inputText.set("x");
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "x") << "Down while not browsing";

    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        sender.historyUp();
        shown.push_back(sender.inputText.value());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"c", "b", "a", "a"}));

    shown.clear();
    for (int i = 0; i < 3; ++i) {
        sender.historyDown();
        shown.push_back(sender.inputText.value());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"b", "c", "x"}));
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "x") << "past the draft Down does nothing more";
}

TEST(SendComposer, EditingARecalledEntryKeepsBrowsingAndSendingEndsIt)
{
    Composer sender;
    sendAll(sender, {"a", "b", "c"});
    sender.inputText.set("x");

    sender.historyUp();
    sender.inputText.set("c edited");
    sender.historyUp();
    EXPECT_EQ(sender.inputText.value(), "b");
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "c");
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "x");

    // Sending a recalled entry again ends browsing without a second copy of it.
    sender.historyUp();
    CountingAlert alert;
    ASSERT_TRUE(sender.send(connected(), alert));
    EXPECT_EQ(sender.inputText.value(), "");
    EXPECT_EQ(sender.history(), (std::vector<std::string>{"a", "b", "c"}));
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "");

    // A new walk saves the field as it is now.
    sender.inputText.set("z");
    sender.historyUp();
    EXPECT_EQ(sender.inputText.value(), "c");
    sender.historyDown();
    EXPECT_EQ(sender.inputText.value(), "z");
}
