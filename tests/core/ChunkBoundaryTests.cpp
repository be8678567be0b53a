// However the port happens to cut the stream into reads, the output must be the same: these
// tests feed random streams whole and in random pieces and compare what is shown.
#include "core/pipeline/ByteFormatter.h"
#include "core/pipeline/TerminalTextProcessor.h"

#include <gtest/gtest.h>

#include <random>

using namespace velmora;

namespace {

using Stream = std::vector<std::uint8_t>;
using Random = std::mt19937;

const auto arrival = std::chrono::system_clock::time_point(std::chrono::seconds(1700000000));

void appendUtf8(Stream& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<std::uint8_t>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<std::uint8_t>(0xC0 | (c >> 6)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<std::uint8_t>(0xE0 | (c >> 12)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<std::uint8_t>(0xF0 | (c >> 18)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
    }
}

// Well-formed text: ASCII lines with accented letters, CJK, emoji and the occasional CR LF.
Stream validText(Random& random, std::size_t length)
{
    static constexpr char32_t samples[] = {U'a', U'Z', U'7', U' ', U',', U'\u00E9', U'\u00DF', U'\u20AC', U'\u6E29',
        U'\U0001F600', U'\U0001F321', U'\r', U'\n', U'\t', U'\u202E', U'\u0085'};
    Stream out;
    while (out.size() < length)
        appendUtf8(out, samples[random() % std::size(samples)]);
    return out;
}

// Text interleaved with colour codes, cursor commands, titles, control bytes and bare CRs.
Stream terminalText(Random& random, std::size_t length)
{
    static constexpr std::string_view pieces[] = {"temp:21.5", ",hum:40\r\n", "\x1B[31m", "\x1B[0m", "\x1B[2J\x1B[H",
        "\x1B]0;title\x07", "\x1B]2;t\x1B\\",
        "\x1B"
        "7",
        "\x07", std::string_view("\x00", 1), "\x7F", "\r", "\n", "\x1B[", "\xC3\xA9", "ok"};
    Stream out;
    while (out.size() < length) {
        const auto piece = pieces[random() % std::size(pieces)];
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

Stream noise(Random& random, std::size_t length)
{
    Stream out(length);
    for (auto& byte : out)
        byte = static_cast<std::uint8_t>(random());
    return out;
}

std::vector<std::size_t> randomCuts(Random& random, std::size_t length)
{
    std::vector<std::size_t> sizes;
    std::size_t used = 0;
    while (used < length) {
        // Mostly tiny pieces, which cut inside characters and sequences, now and then a big one.
        const std::size_t size = std::min(length - used, random() % 8 == 0 ? 1 + random() % 300 : 1 + random() % 6);
        sizes.push_back(size);
        used += size;
    }
    return sizes;
}

void appendMerged(OutputSegments& into, const OutputSegments& segments)
{
    for (const auto& segment : segments) {
        if (segment.text.empty())
            continue;
        if (!into.empty() && into.back().kind == segment.kind)
            into.back().text += segment.text;
        else
            into.push_back(segment);
    }
}

template <typename Generate> void expectTextProcessorIgnoresCuts(Generate generate, std::uint32_t seed)
{
    Random random(seed);
    const std::u16string arrow = u"\u2190 ";
    for (int round = 0; round < 300; ++round) {
        const Stream stream = generate(random, 1 + random() % 2000);
        const bool timestamps = random() % 2 == 0;
        const auto prefix = random() % 2 == 0 ? std::optional<std::u16string_view>(arrow) : std::nullopt;

        TerminalTextProcessor whole;
        OutputSegments expected;
        appendMerged(expected, whole.process(stream, timestamps, prefix, arrival));

        TerminalTextProcessor pieces;
        OutputSegments actual;
        std::size_t offset = 0;
        for (const std::size_t size : randomCuts(random, stream.size())) {
            appendMerged(actual, pieces.process(std::span(stream).subspan(offset, size), timestamps, prefix, arrival));
            offset += size;
        }
        ASSERT_EQ(actual, expected) << "round " << round << " of seed " << seed;
        EXPECT_EQ(pieces.carry(), whole.carry());
        EXPECT_EQ(pieces.escapeState(), whole.escapeState());
    }
}

} // namespace

TEST(ChunkBoundaries, TextProcessorShowsValidTextTheSameWhereverItIsCut)
{
    expectTextProcessorIgnoresCuts(validText, 1);
}

TEST(ChunkBoundaries, TextProcessorShowsTerminalOutputTheSameWhereverItIsCut)
{
    expectTextProcessorIgnoresCuts(terminalText, 2);
}

TEST(ChunkBoundaries, TextProcessorShowsNoiseTheSameWhereverItIsCut)
{
    expectTextProcessorIgnoresCuts(noise, 3);
}

namespace {

// The byte display without the pause rule: its lines depend on the bytes alone, so any cut into
// chunks and batches must show the same committed lines and the same unfinished one.
template <typename Generate> void expectByteFormatterIgnoresCuts(Generate generate, std::uint32_t seed)
{
    Random random(seed);
    for (int round = 0; round < 200; ++round) {
        const Stream stream = generate(random, 1 + random() % 3000);
        ByteDisplayOptions options;
        options.mode = allDisplayModes[1 + random() % (allDisplayModes.size() - 1)];
        options.bytesPerLine = allowedBytesPerLine[random() % allowedBytesPerLine.size()];
        options.breakOnLF = random() % 2 == 0;
        options.timestamps = random() % 2 == 0;
        if (random() % 2 == 0)
            options.linePrefix = u"\u2190 ";

        ByteFormatter whole;
        const auto expected = whole.format(std::vector<ReceivedChunk>{{arrival, stream}}, options);
        OutputSegments expectedShown;
        appendMerged(expectedShown, expected.committed);

        ByteFormatter pieces;
        OutputSegments actualShown;
        OutputSegments lastProvisional;
        std::vector<ReceivedChunk> batch;
        std::size_t offset = 0;
        for (const std::size_t size : randomCuts(random, stream.size())) {
            batch.push_back({arrival,
                Stream(stream.begin() + static_cast<std::ptrdiff_t>(offset),
                    stream.begin() + static_cast<std::ptrdiff_t>(offset + size))});
            offset += size;
            if (random() % 3 == 0) {
                auto result = pieces.format(batch, options);
                appendMerged(actualShown, result.committed);
                lastProvisional = std::move(result.provisional);
                batch.clear();
            }
        }
        auto result = pieces.format(batch, options);
        appendMerged(actualShown, result.committed);
        if (!batch.empty() || !result.provisional.empty())
            lastProvisional = std::move(result.provisional);

        ASSERT_EQ(actualShown, expectedShown) << "round " << round << " of seed " << seed;
        EXPECT_EQ(lastProvisional, expected.provisional);
        EXPECT_EQ(pieces.offset(), whole.offset());
    }
}

} // namespace

TEST(ChunkBoundaries, ByteFormatterShowsTheSameLinesWhereverTheStreamIsCut)
{
    expectByteFormatterIgnoresCuts(terminalText, 4);
    expectByteFormatterIgnoresCuts(noise, 5);
}
