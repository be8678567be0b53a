#include "core/text/Utf8.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora;

namespace {

std::u16string decode(std::vector<std::uint8_t> bytes)
{
    return utf8ToUtf16(std::span<const std::uint8_t>(bytes));
}

} // namespace

TEST(Utf8, WellFormedTextDecodesIncludingCharactersBeyondTheBasicPlane)
{
    EXPECT_EQ(decode({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}), u"A\u00E9\u20AC");
    EXPECT_EQ(decode({0xF0, 0x9F, 0x98, 0x80}), u"\U0001F600");
    EXPECT_EQ(decode({0xF4, 0x8F, 0xBF, 0xBF}), u"\U0010FFFF");
    EXPECT_EQ(decode({0xEF, 0xBB, 0xBF, 0x00}), std::u16string(u"\uFEFF\0", 2));
}

TEST(Utf8, EachMaximalIllFormedSubpartBecomesOneReplacementCharacter)
{
    // The Unicode Standard's own example (Table 3-8).
    EXPECT_EQ(decode({0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64}),
        u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
    // Non-shortest forms, surrogates, values above U+10FFFF and bytes that never occur.
    EXPECT_EQ(decode({0xC0, 0xAF}), u"\uFFFD\uFFFD");
    EXPECT_EQ(decode({0xE0, 0x80, 0xAF}), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode({0xED, 0xA0, 0x80}), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode({0xF4, 0x90, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode({0xF8, 0x88, 0x80, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decode({0xFE, 0xFF}), u"\uFFFD\uFFFD");
    // Truncated sequences: one replacement for the whole valid prefix, then what follows.
    EXPECT_EQ(decode({0xF0, 0x90, 0x41}), u"\uFFFDA");
    EXPECT_EQ(decode({0xE2, 0x82}), u"\uFFFD");
    EXPECT_EQ(decode({0x80, 0x80, 0x80, 0x80}), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8, Utf16ConvertsBackAndLoneSurrogatesBecomeReplacementCharacters)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text);
    EXPECT_EQ(utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}),
        "a\xEF\xBF\xBD"
        "b");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
}
