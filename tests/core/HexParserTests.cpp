#include "core/send/HexParser.h"
#include "localization/L10n.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora;

namespace velmora {

// Readable failure messages; static so that other test files may have their own.
[[maybe_unused]] static void PrintTo(const HexParseError& error, std::ostream* out)
{
    switch (error.kind()) {
    case HexParseError::Kind::invalidCharacter:
        *out << "invalidCharacter(\"" << error.token() << "\")";
        return;
    case HexParseError::Kind::oddLength:
        *out << "oddLength(\"" << error.token() << "\")";
        return;
    case HexParseError::Kind::tooLong:
        *out << "tooLong(" << error.max() << ")";
        return;
    }
}

[[maybe_unused]] static void PrintTo(const BytesOrHexError& result, std::ostream* out)
{
    if (!result.ok()) {
        PrintTo(result.error(), out);
        return;
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    *out << "bytes [";
    for (std::size_t i = 0; i < result.bytes().size(); ++i)
        *out << (i > 0 ? " " : "") << digits[result.bytes()[i] >> 4] << digits[result.bytes()[i] & 0x0F];
    *out << "]";
}

} // namespace velmora

namespace {

using Bytes = std::vector<std::uint8_t>;

BytesOrHexError parse(std::string_view text) { return parseHex(text, maxMessageBytes); }

// count tokens "00", one space between them.
std::string zeroTokens(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += i == 0 ? "00" : " 00";
    return text;
}

} // namespace

TEST(ParseHex, SingleDigitsWithOrWithoutPrefixAreOneByteEach)
{
    EXPECT_EQ(parse("A"), BytesOrHexError(Bytes{0x0A}));
    EXPECT_EQ(parse("0xA"), BytesOrHexError(Bytes{0x0A}));
    EXPECT_EQ(parse("0Xa"), BytesOrHexError(Bytes{0x0A}));
    EXPECT_EQ(parse("0"), BytesOrHexError(Bytes{0x00}));
    EXPECT_EQ(parse("0x0"), BytesOrHexError(Bytes{0x00}));
    EXPECT_EQ(parse("1 f 0xF 2"), BytesOrHexError(Bytes{0x01, 0x0F, 0x0F, 0x02}));
}

TEST(ParseHex, APrefixWithoutDigitsOrAMisplacedXIsAnInvalidValueNamedAsTyped)
{
    EXPECT_EQ(parse("0X"), BytesOrHexError(HexParseError::invalidCharacter("0X")));
    EXPECT_EQ(parse("01 0x 02"), BytesOrHexError(HexParseError::invalidCharacter("0x")));
    EXPECT_EQ(parse("x12"), BytesOrHexError(HexParseError::invalidCharacter("x12")));
    EXPECT_EQ(parse("0x0x12"), BytesOrHexError(HexParseError::invalidCharacter("0x0x12")));
    EXPECT_EQ(parse("1x2"), BytesOrHexError(HexParseError::invalidCharacter("1x2")));
    EXPECT_EQ(parse("00x1"), BytesOrHexError(HexParseError::invalidCharacter("00x1")));
}

TEST(ParseHex, AnOddNumberOfDigitsAfterThePrefixIsReportedWithTheTokenAsTyped)
{
    EXPECT_EQ(parse("ABC"), BytesOrHexError(HexParseError::oddLength("ABC")));
    EXPECT_EQ(parse("0x123"), BytesOrHexError(HexParseError::oddLength("0x123")));
    EXPECT_EQ(parse("0X12345"), BytesOrHexError(HexParseError::oddLength("0X12345")));
    EXPECT_EQ(parse("12 345 67"), BytesOrHexError(HexParseError::oddLength("345")));
    // Two digits with the prefix are even after it is removed.
    EXPECT_EQ(parse("0x12"), BytesOrHexError(Bytes{0x12}));
}

TEST(ParseHex, EverySeparatorAndEveryNotationMixFreely)
{
    // Any mix of pairs is covered by the round trip below; these add single digits.
    EXPECT_EQ(parse("de:ad-be,ef;01"), BytesOrHexError(Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x01}));
    EXPECT_EQ(parse("48656C6C6F 0D0A"), BytesOrHexError(Bytes{0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x0D, 0x0A}));
    EXPECT_EQ(parse("0x0102 A 0b"), BytesOrHexError(Bytes{0x01, 0x02, 0x0A, 0x0B}));
}

TEST(ParseHex, InputWithoutTokensGivesNoBytesAndNoError)
{
    EXPECT_EQ(parse(""), BytesOrHexError(Bytes{}));
    EXPECT_EQ(parse(" "), BytesOrHexError(Bytes{}));
    EXPECT_EQ(parse(" \t\n\r,;:-"), BytesOrHexError(Bytes{}));
    // Even a maximum of zero admits a message without bytes.
    EXPECT_EQ(parseHex(" - ", 0), BytesOrHexError(Bytes{}));
}

TEST(ParseHex, FirstFailingTokenDecidesEvenWhenALaterOneIsWorse)
{
    EXPECT_EQ(parse("01 0G 12345"), BytesOrHexError(HexParseError::invalidCharacter("0G")));
    EXPECT_EQ(parse("123 ZZ"), BytesOrHexError(HexParseError::oddLength("123")));
    EXPECT_EQ(parse("ZZ 123"), BytesOrHexError(HexParseError::invalidCharacter("ZZ")));
    // Within a token a bad character outranks the odd count.
    EXPECT_EQ(parse("12G"), BytesOrHexError(HexParseError::invalidCharacter("12G")));
}

TEST(ParseHex, OnlyAsciiHexDigitsAndTheEightSeparatorsAreUnderstood)
{
    // Full-width digits zero and one.
    EXPECT_EQ(parse("\xEF\xBC\x90\xEF\xBC\x91"),
        BytesOrHexError(HexParseError::invalidCharacter("\xEF\xBC\x90\xEF\xBC\x91")));
    // A no-break space does not separate.
    EXPECT_EQ(parse("12\xC2\xA0" "34"), BytesOrHexError(HexParseError::invalidCharacter("12\xC2\xA0" "34")));
    EXPECT_EQ(parse("01 +02"), BytesOrHexError(HexParseError::invalidCharacter("+02")));
    EXPECT_EQ(parse("01.02"), BytesOrHexError(HexParseError::invalidCharacter("01.02")));
    const std::string withNul("01\0" "02", 5);
    EXPECT_EQ(parse(withNul), BytesOrHexError(HexParseError::invalidCharacter(withNul)));
}

TEST(ParseHex, TooLongIsReportedAtTheFirstByteBeyondTheMaximumEvenWhenALaterTokenIsInvalid)
{
    const auto full = parse(zeroTokens(4096));
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.bytes(), Bytes(4096, 0x00));

    EXPECT_EQ(parse(zeroTokens(4097)), BytesOrHexError(HexParseError::tooLong(4096)));
    EXPECT_EQ(parse(zeroTokens(4097) + " ZZ"), BytesOrHexError(HexParseError::tooLong(4096)));
    EXPECT_EQ(parse(zeroTokens(4097) + " 123"), BytesOrHexError(HexParseError::tooLong(4096)));
    // At exactly the maximum a later bad token is still the one reported.
    EXPECT_EQ(parse(zeroTokens(4096) + " ZZ"), BytesOrHexError(HexParseError::invalidCharacter("ZZ")));
    EXPECT_EQ(parse(zeroTokens(4096) + " 123"), BytesOrHexError(HexParseError::oddLength("123")));
    // One token that crosses the limit on its own.
    EXPECT_EQ(parse(std::string(2 * 4097, 'f')), BytesOrHexError(HexParseError::tooLong(4096)));
    EXPECT_EQ(parse(std::string(2 * 4096, 'f')), BytesOrHexError(Bytes(4096, 0xFF)));

    EXPECT_EQ(parseHex("01 02", 2), BytesOrHexError(Bytes{0x01, 0x02}));
    EXPECT_EQ(parseHex("01 02 03", 2), BytesOrHexError(HexParseError::tooLong(2)));
    EXPECT_EQ(parseHex("010203 ZZ", 2), BytesOrHexError(HexParseError::tooLong(2)));
    EXPECT_EQ(parseHex("A", 0), BytesOrHexError(HexParseError::tooLong(0)));

    L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(parse(zeroTokens(4097)).error().message(), "The message is too long (maximum 4096 bytes).");
}

TEST(ParseHex, AnyByteListWrittenInAnyMixOfNotationsParsesBackToItself)
{
    static constexpr std::array separators{' ', '\t', '\n', '\r', ',', ';', ':', '-'};
    static constexpr char upper[] = "0123456789ABCDEF";
    static constexpr char lower[] = "0123456789abcdef";
    std::mt19937 random(20240305);
    const auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
    const auto separatorRun = [&](int minimum) {
        std::string run;
        const int length = std::uniform_int_distribution<int>(minimum, 3)(random);
        for (int i = 0; i < length; ++i)
            run += separators[std::uniform_int_distribution<std::size_t>(0, separators.size() - 1)(random)];
        return run;
    };

    for (int round = 0; round < 2000; ++round) {
        Bytes expected(std::uniform_int_distribution<std::size_t>(0, 64)(random));
        for (auto& byte : expected)
            byte = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));

        std::string text = separatorRun(0);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const bool prefixed = chance(30);
            // Unprefixed pairs may also follow one another directly, as in 48656C.
            if (i > 0)
                text += !prefixed && chance(25) ? std::string() : separatorRun(1);
            if (prefixed)
                text += chance(50) ? "0x" : "0X";
            // Through string_view: GCC 12 with sanitizers miscompiles indexing "cond ? upper : lower".
            const std::string_view high = chance(50) ? upper : lower;
            text += high[expected[i] >> 4];
            const std::string_view low = chance(50) ? upper : lower;
            text += low[expected[i] & 0x0F];
        }
        text += separatorRun(0);

        const auto parsed = parse(text);
        ASSERT_TRUE(parsed.ok()) << "input \"" << text << "\"";
        ASSERT_EQ(parsed.bytes(), expected) << "input \"" << text << "\"";
    }
}

TEST(HexParseError, MessagesQuoteTheTokenOrTheLimitInTheCurrentLanguage)
{
    std::string oddInEnglish;
    {
        L10n::ScopedLanguage english(Language::en);
        EXPECT_EQ(HexParseError::invalidCharacter("0G").message(),
            "'0G' is not a valid HEX value. Use 0\u20139 and A\u2013F, e.g. 01 0A FF.");
        oddInEnglish = HexParseError::oddLength("ABC").message();
        EXPECT_EQ(oddInEnglish, "'ABC' has an odd number of digits. Write bytes as pairs, e.g. 0A or 01 0A.");
        EXPECT_EQ(HexParseError::tooLong(4096).message(), "The message is too long (maximum 4096 bytes).");
        EXPECT_EQ(HexParseError::tooLong(12345).message(), "The message is too long (maximum 12345 bytes).");
    }
    {
        L10n::ScopedLanguage german(Language::de);
        EXPECT_EQ(HexParseError::invalidCharacter("0G").message(),
            "\u201E0G\u201C ist kein g\u00FCltiger HEX-Wert. Verwende 0\u20139 und A\u2013F, z. B. 01 0A FF.");
        EXPECT_EQ(HexParseError::tooLong(4096).message(), "Die Nachricht ist zu lang (maximal 4096 Bytes).");
        const auto odd = HexParseError::oddLength("ABC").message();
        EXPECT_EQ(odd, L10n::Send::oddLength("ABC"));
        EXPECT_NE(odd, oddInEnglish);
        EXPECT_NE(odd.find("ABC"), std::string::npos);
    }
}
