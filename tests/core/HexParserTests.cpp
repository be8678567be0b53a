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

BytesOrHexError parse(std::string_view text)
{
    return parseHex(text, maxMessageBytes);
}
BytesOrHexError invalid(std::string token)
{
    return HexParseError::invalidCharacter(std::move(token));
}
BytesOrHexError odd(std::string token)
{
    return HexParseError::oddLength(std::move(token));
}
BytesOrHexError tooLong(std::size_t max)
{
    return HexParseError::tooLong(max);
}

// count tokens "00", one space between them.
std::string zeroTokens(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += i == 0 ? "00" : " 00";
    return text;
}

} // namespace

TEST(ParseHex, DigitsWithOrWithoutPrefixAndAnySeparatorsMakeBytesAndNoTokensMakeNone)
{
    const std::vector<std::pair<std::string_view, Bytes>> cases{
        {"A", {0x0A}},
        {"0xA", {0x0A}},
        {"0Xa", {0x0A}},
        {"0", {0x00}},
        {"0x0", {0x00}},
        {"1 f 0xF 2", {0x01, 0x0F, 0x0F, 0x02}},
        // Two digits with the prefix are even after it is removed.
        {"0x12", {0x12}},
        // Any mix of pairs is covered by the round trip below; these add single digits.
        {"de:ad-be,ef;01", {0xDE, 0xAD, 0xBE, 0xEF, 0x01}},
        {"48656C6C6F 0D0A", {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x0D, 0x0A}},
        {"0x0102 A 0b", {0x01, 0x02, 0x0A, 0x0B}},
        {"", {}},
        {" ", {}},
        {" \t\n\r,;:-", {}},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(parse(text), BytesOrHexError(bytes)) << text;
    // Even a maximum of zero admits a message without bytes.
    EXPECT_EQ(parseHex(" - ", 0), BytesOrHexError(Bytes{}));
}

TEST(ParseHex, TheFirstFailingTokenIsReportedAsTypedAndABadCharacterOutranksAnOddCount)
{
    const std::vector<std::pair<std::string_view, BytesOrHexError>> cases{
        // A prefix without digits, or a misplaced x.
        {"0X", invalid("0X")},
        {"01 0x 02", invalid("0x")},
        {"x12", invalid("x12")},
        {"0x0x12", invalid("0x0x12")},
        {"1x2", invalid("1x2")},
        {"00x1", invalid("00x1")},
        // An odd number of digits after the prefix.
        {"ABC", odd("ABC")},
        {"0x123", odd("0x123")},
        {"0X12345", odd("0X12345")},
        {"12 345 67", odd("345")},
        // The first failing token decides even when a later one is worse.
        {"01 0G 12345", invalid("0G")},
        {"123 ZZ", odd("123")},
        {"ZZ 123", invalid("ZZ")},
        {"12G", invalid("12G")},
        // Only ASCII hex digits and the eight separators are understood: full-width digits, a
        // no-break space, a sign, a point and a NUL are not.
        {"\xEF\xBC\x90\xEF\xBC\x91", invalid("\xEF\xBC\x90\xEF\xBC\x91")},
        {"12\xC2\xA0"
         "34",
            invalid("12\xC2\xA0"
                    "34")},
        {"01 +02", invalid("+02")},
        {"01.02", invalid("01.02")},
        {std::string_view("01\0"
                          "02",
             5),
            invalid(std::string("01\0"
                                "02",
                5))},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(parse(text), error) << text;
}

TEST(ParseHex, TooLongIsReportedAtTheFirstByteBeyondTheMaximumEvenWhenALaterTokenIsInvalid)
{
    const auto full = parse(zeroTokens(4096));
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.bytes(), Bytes(4096, 0x00));

    EXPECT_EQ(parse(zeroTokens(4097)), tooLong(4096));
    EXPECT_EQ(parse(zeroTokens(4097) + " ZZ"), tooLong(4096));
    EXPECT_EQ(parse(zeroTokens(4097) + " 123"), tooLong(4096));
    // At exactly the maximum a later bad token is still the one reported.
    EXPECT_EQ(parse(zeroTokens(4096) + " ZZ"), invalid("ZZ"));
    EXPECT_EQ(parse(zeroTokens(4096) + " 123"), odd("123"));
    // One token that crosses the limit on its own.
    EXPECT_EQ(parse(std::string(2 * 4097, 'f')), tooLong(4096));
    EXPECT_EQ(parse(std::string(2 * 4096, 'f')), BytesOrHexError(Bytes(4096, 0xFF)));

    EXPECT_EQ(parseHex("01 02", 2), BytesOrHexError(Bytes{0x01, 0x02}));
    EXPECT_EQ(parseHex("01 02 03", 2), tooLong(2));
    EXPECT_EQ(parseHex("010203 ZZ", 2), tooLong(2));
    EXPECT_EQ(parseHex("A", 0), tooLong(0));

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
