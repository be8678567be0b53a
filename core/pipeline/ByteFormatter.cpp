#include "core/pipeline/ByteFormatter.h"

#include "core/text/Timestamp.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velmora {
namespace {

using Kind = OutputSegment::Kind;
using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t lineFeed = 0x0A;
constexpr std::size_t dumpGroupSize = 8;
constexpr char16_t hexDigits[] = u"0123456789ABCDEF";

struct EscapeName {
    std::array<char16_t, 5> chars{};
    std::size_t size = 0;
};

// Every byte's text in each form, so that rendering a byte is a copy of a few characters.
struct Tables {
    std::array<std::array<char16_t, 2>, 256> hex{};
    std::array<std::array<char16_t, 3>, 256> decimal{};
    std::array<std::array<char16_t, 8>, 256> binary{};
    // The dump's ASCII column: the byte itself when printable, otherwise ".".
    std::array<char16_t, 256> dumpCharacter{};
    // Only the entries of non-printable bytes are used.
    std::array<EscapeName, 256> escapeNames{};
};

bool isPrintable(std::uint8_t byte)
{
    return byte >= 0x20 && byte <= 0x7E;
}

EscapeName escapeName(std::uint8_t byte)
{
    EscapeName name;
    auto spell = [&name](std::u16string_view text) {
        std::ranges::copy(text, name.chars.begin());
        name.size = text.size();
    };
    switch (byte) {
    case 0x00:
        spell(u"<NUL>");
        break;
    case 0x09:
        spell(u"<TAB>");
        break;
    case 0x0A:
        spell(u"<LF>");
        break;
    case 0x0D:
        spell(u"<CR>");
        break;
    case 0x1B:
        spell(u"<ESC>");
        break;
    default: {
        const char16_t spelled[] = {u'<', hexDigits[byte >> 4], hexDigits[byte & 0xF], u'>'};
        spell(std::u16string_view(spelled, 4));
    }
    }
    return name;
}

Tables makeTables()
{
    Tables tables;
    for (std::size_t value = 0; value < 256; ++value) {
        tables.hex[value] = {hexDigits[value >> 4], hexDigits[value & 0xF]};
        auto& decimal = tables.decimal[value];
        decimal = {u' ', u' ', static_cast<char16_t>(u'0' + value % 10)};
        if (value >= 10)
            decimal[1] = static_cast<char16_t>(u'0' + value / 10 % 10);
        if (value >= 100)
            decimal[0] = static_cast<char16_t>(u'0' + value / 100);
        for (std::size_t bit = 0; bit < 8; ++bit)
            tables.binary[value][bit] = (value >> (7 - bit)) & 1 ? u'1' : u'0';
        tables.dumpCharacter[value] =
            isPrintable(static_cast<std::uint8_t>(value)) ? static_cast<char16_t>(value) : u'.';
        tables.escapeNames[value] = escapeName(static_cast<std::uint8_t>(value));
    }
    return tables;
}

// Built on first use; the language makes the initialisation of the static thread-safe.
const Tables& tables()
{
    static const Tables shared = makeTables();
    return shared;
}

// Each byte's table text, joined by single spaces.
template <std::size_t width>
std::u16string joined(Bytes bytes, const std::array<std::array<char16_t, width>, 256>& table)
{
    std::u16string text(bytes.size() * (width + 1) - 1, u' ');
    char16_t* out = text.data();
    for (std::uint8_t byte : bytes) {
        std::memcpy(out, table[byte].data(), width * sizeof(char16_t));
        out += width + 1;
    }
    return text;
}

// "%08X  ": at least eight digits, more once the offset passes 4 GiB.
std::u16string dumpOffset(std::int64_t offset)
{
    auto value = static_cast<std::uint64_t>(offset);
    std::size_t digits = 8;
    while (digits < 16 && (value >> (4 * digits)) != 0)
        ++digits;
    std::u16string text(digits + 2, u' ');
    for (std::size_t i = digits; i-- > 0; value >>= 4)
        text[i] = hexDigits[value & 0xF];
    return text;
}

// Three characters per column, one more after every eighth column except the last, so that
// a short line keeps the ASCII column where a full one has it.
std::u16string dumpColumns(Bytes bytes, std::size_t columns)
{
    const auto& hex = tables().hex;
    std::u16string text(3 * columns + (columns - 1) / dumpGroupSize, u' ');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char16_t* cell = text.data() + 3 * i + i / dumpGroupSize;
        cell[0] = hex[bytes[i]][0];
        cell[1] = hex[bytes[i]][1];
    }
    return text;
}

std::u16string dumpAscii(Bytes bytes)
{
    const auto& character = tables().dumpCharacter;
    std::u16string text(bytes.size(), u'.');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = character[bytes[i]];
    return text;
}

// Printable bytes as themselves in data runs, all others by name in meta runs.
void appendEscapedRuns(OutputSegments& out, Bytes bytes)
{
    const auto& names = tables().escapeNames;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const bool printable = isPrintable(bytes[start]);
        std::size_t end = start + 1;
        while (end < bytes.size() && isPrintable(bytes[end]) == printable)
            ++end;
        std::u16string run;
        if (printable) {
            run.assign(
                bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end));
        } else {
            run.reserve((end - start) * 5);
            for (std::size_t i = start; i < end; ++i)
                run.append(names[bytes[i]].chars.data(), names[bytes[i]].size);
        }
        out.push_back({printable ? Kind::data : Kind::meta, std::move(run)});
        start = end;
    }
}

std::u16string decoded(Bytes bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    decodeUtf8(bytes, [&text](char32_t scalar) { appendUtf16(text, scalar); });
    return text;
}

std::size_t lineCapacity(const ByteDisplayOptions& options)
{
    if (options.mode == DisplayMode::text || options.mode == DisplayMode::asciiEscaped)
        return ByteFormatter::textLineCapacity;
    return static_cast<std::size_t>(std::max<std::int64_t>(options.bytesPerLine, 1));
}

// Segments one finished or provisional line renders to, for reserving the committed list.
std::size_t segmentsPerLine(const ByteDisplayOptions& options)
{
    std::size_t count = 1 + (options.timestamps ? 1 : 0) + (options.linePrefix ? 1 : 0);
    return count + (options.mode == DisplayMode::hexDump ? 5 : 1);
}

void appendRendering(OutputSegments& out, Bytes bytes, std::optional<std::u16string> stamp, std::int64_t offset,
    const ByteDisplayOptions& options)
{
    if (stamp)
        out.push_back({Kind::timestamp, std::move(*stamp)});
    if (options.linePrefix)
        out.push_back({Kind::meta, *options.linePrefix});
    switch (options.mode) {
    case DisplayMode::text:
        out.push_back({Kind::data, decoded(bytes)});
        break;
    case DisplayMode::hex:
        out.push_back({Kind::data, joined(bytes, tables().hex)});
        break;
    case DisplayMode::decimal:
        out.push_back({Kind::data, joined(bytes, tables().decimal)});
        break;
    case DisplayMode::binary:
        out.push_back({Kind::data, joined(bytes, tables().binary)});
        break;
    case DisplayMode::hexDump:
        out.push_back({Kind::meta, dumpOffset(offset)});
        out.push_back({Kind::data, dumpColumns(bytes, lineCapacity(options))});
        out.push_back({Kind::meta, u" |"});
        out.push_back({Kind::data, dumpAscii(bytes)});
        out.push_back({Kind::meta, u"|"});
        break;
    case DisplayMode::asciiEscaped:
        appendEscapedRuns(out, bytes);
        break;
    }
}

} // namespace

ByteFormatter::Result ByteFormatter::format(std::span<const ReceivedChunk> chunks, const ByteDisplayOptions& options)
{
    const std::size_t capacity = lineCapacity(options);
    const bool breakAtLF = options.breakOnLF || options.mode == DisplayMode::asciiEscaped;

    Result result;
    if (options.mode != DisplayMode::asciiEscaped) {
        std::size_t total = 0;
        for (const auto& chunk : chunks)
            total += chunk.data.size();
        result.committed.reserve((total / capacity + 1) * segmentsPerLine(options));
    }

    for (const auto& chunk : chunks) {
        if (options.gapMs >= 1 && !line_.empty() && lastByteTime_) {
            const double pauseMs = std::chrono::duration<double, std::milli>(chunk.time - *lastByteTime_).count();
            if (pauseMs >= static_cast<double>(options.gapMs))
                finishLine(line_, result.committed, options);
        }

        // All lines starting in this chunk share its stamp.
        std::optional<std::u16string> chunkStamp;
        Bytes rest(chunk.data);
        while (!rest.empty()) {
            if (line_.empty() && options.timestamps) {
                if (!chunkStamp)
                    chunkStamp = formatTimestamp(chunk.time) + (options.linePrefix ? u" " : u" -> ");
                lineStamp_ = chunkStamp;
            }
            std::size_t take = std::min(capacity - line_.size(), rest.size());
            bool ends = line_.size() + take == capacity;
            if (breakAtLF) {
                if (const void* lf = std::memchr(rest.data(), lineFeed, take)) {
                    take = static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - rest.data()) + 1;
                    ends = true;
                }
            }
            const Bytes piece = rest.first(take);
            rest = rest.subspan(take);
            // A line that starts and ends inside this chunk is rendered straight from it.
            if (ends && line_.empty()) {
                finishLine(piece, result.committed, options);
            } else {
                line_.insert(line_.end(), piece.begin(), piece.end());
                if (ends)
                    finishLine(line_, result.committed, options);
            }
        }
        lastByteTime_ = chunk.time;
    }

    if (!line_.empty())
        appendRendering(result.provisional, line_, lineStamp_, offset_, options);
    return result;
}

void ByteFormatter::finishLine(
    std::span<const std::uint8_t> bytes, OutputSegments& committed, const ByteDisplayOptions& options)
{
    appendRendering(committed, bytes, std::move(lineStamp_), offset_, options);
    committed.push_back({Kind::data, u"\n"});
    offset_ += static_cast<std::int64_t>(bytes.size());
    line_.clear();
    lineStamp_.reset();
}

void ByteFormatter::commitLine()
{
    offset_ += static_cast<std::int64_t>(line_.size());
    line_.clear();
    lineStamp_.reset();
    lastByteTime_.reset();
}

void ByteFormatter::reset()
{
    line_.clear();
    lineStamp_.reset();
    offset_ = 0;
    lastByteTime_.reset();
}

} // namespace velmora
