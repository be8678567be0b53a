// Feeds arbitrary bytes through the byte formatter with options, chunk sizes, arrival times,
// batch boundaries, commits and resets taken from the input's first bytes, and traps when the
// output breaks its rules: a committed line not closed by its LF segment, a line longer than
// the line capacity, a provisional part of more than one line, shown bytes that differ from
// the bytes fed in, dump offsets that do not count on, or (in hex mode) text that differs from
// a byte-by-byte model of the line rules.
//
// Input: mode, bytes per line and pause, flags (new line after LF, stamps, echo marker), the
// number of chunk plans, then two bytes per plan (length; delay, end of batch, commit, reset),
// then the bytes to feed. What the plans leave over arrives as one last chunk.
#include "core/pipeline/ByteFormatter.h"
#include "core/text/Timestamp.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace velmora;

namespace {

using Kind = OutputSegment::Kind;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::array<std::int64_t, 8> bytesPerLineChoices{8, 16, 32, 1, 2, 3, 7, 0};
// Around the pause values, and one step back in time as a clock change would make.
constexpr std::array<std::chrono::microseconds, 8> delayChoices{0us, 1ms, 9999us, 10ms, 49999us, 50ms, 1s, -5ms};
constexpr std::size_t headerSize = 4;
constexpr char16_t hexDigits[] = u"0123456789ABCDEF";

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool isPrintable(std::uint8_t byte)
{
    return byte >= 0x20 && byte <= 0x7E;
}

std::uint8_t parseHex(char16_t high, char16_t low)
{
    auto digit = [](char16_t c) {
        const auto* found = std::char_traits<char16_t>::find(hexDigits, 16, c);
        check(found != nullptr);
        return static_cast<std::uint8_t>(found - hexDigits);
    };
    return static_cast<std::uint8_t>(digit(high) << 4 | digit(low));
}

std::u16string dumpOffset(std::int64_t offset)
{
    std::u16string text;
    for (auto value = static_cast<std::uint64_t>(offset); value != 0 || text.size() < 8; value >>= 4)
        text.insert(text.begin(), hexDigits[value & 0xF]);
    return text + u"  ";
}

// "%3d" read back: one to three digits without a leading zero, right-aligned.
std::uint8_t parseDecimal(std::u16string_view cell)
{
    const auto first = cell.find_first_not_of(u' ');
    check(first != std::u16string_view::npos);
    const auto digits = cell.substr(first);
    check(digits.size() == 1 || digits[0] != u'0');
    unsigned value = 0;
    for (char16_t c : digits) {
        check(c >= u'0' && c <= u'9');
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    check(value <= 255);
    return static_cast<std::uint8_t>(value);
}

std::uint8_t parseBinary(std::u16string_view cell)
{
    unsigned value = 0;
    for (char16_t c : cell) {
        check(c == u'0' || c == u'1');
        value = value << 1 | (c == u'1' ? 1u : 0u);
    }
    return static_cast<std::uint8_t>(value);
}

// A meta run of escape names read back into its bytes.
void parseNames(std::u16string_view run, Bytes& out)
{
    while (!run.empty()) {
        const auto close = run.find(u'>');
        check(run[0] == u'<' && close != std::u16string_view::npos);
        const auto name = run.substr(1, close - 1);
        std::uint8_t byte = 0;
        if (name == u"NUL")
            byte = 0x00;
        else if (name == u"TAB")
            byte = 0x09;
        else if (name == u"LF")
            byte = 0x0A;
        else if (name == u"CR")
            byte = 0x0D;
        else if (name == u"ESC")
            byte = 0x1B;
        else {
            check(name.size() == 2);
            byte = parseHex(name[0], name[1]);
            check(byte != 0x00 && byte != 0x09 && byte != 0x0A && byte != 0x0D && byte != 0x1B);
        }
        check(!isPrintable(byte));
        out.push_back(byte);
        run.remove_prefix(close + 1);
    }
}

// Reads the formatter's lines back: their shape, and the bytes they show.
class Checker {
public:
    Checker(const ByteDisplayOptions& options, std::size_t capacity) : options_(options), capacity_(capacity) {}

    // One line from position at. Appends the bytes it shows to out and returns their number;
    // text mode cannot be read back and gives its UTF-16 length (at most one unit per byte).
    std::size_t line(const OutputSegments& segments, std::size_t& at, std::int64_t offset, Bytes& out) const
    {
        auto next = [&]() -> const OutputSegment& {
            check(at < segments.size());
            return segments[at++];
        };
        if (options_.timestamps) {
            const auto& stamp = next();
            const std::u16string suffix = options_.linePrefix ? u" " : u" -> ";
            check(stamp.kind == Kind::timestamp && stamp.text.size() == 12 + suffix.size() &&
                stamp.text.ends_with(suffix));
        }
        if (options_.linePrefix)
            check(next() == OutputSegment{Kind::meta, *options_.linePrefix});

        const std::size_t before = out.size();
        switch (options_.mode) {
        case DisplayMode::text: {
            const auto& text = next();
            check(text.kind == Kind::data && !text.text.empty() && text.text.size() <= capacity_);
            return text.text.size();
        }
        case DisplayMode::hex:
        case DisplayMode::decimal:
        case DisplayMode::binary: {
            const std::size_t width = options_.mode == DisplayMode::hex ? 2
                : options_.mode == DisplayMode::decimal                 ? 3
                                                                        : 8;
            const auto& values = next();
            check(values.kind == Kind::data && (values.text.size() + 1) % (width + 1) == 0);
            const std::u16string_view text = values.text;
            for (std::size_t cell = 0; cell < text.size(); cell += width + 1) {
                check(cell == 0 || text[cell - 1] == u' ');
                const auto value = text.substr(cell, width);
                out.push_back(options_.mode == DisplayMode::hex ? parseHex(value[0], value[1])
                        : options_.mode == DisplayMode::decimal ? parseDecimal(value)
                                                                : parseBinary(value));
            }
            break;
        }
        case DisplayMode::hexDump: {
            check(next() == OutputSegment{Kind::meta, dumpOffset(offset)});
            const std::u16string_view columns = next().text;
            check(segments[at - 1].kind == Kind::data && columns.size() == 3 * capacity_ + (capacity_ - 1) / 8);
            check(next() == OutputSegment{Kind::meta, u" |"});
            const auto& ascii = next();
            check(ascii.kind == Kind::data && ascii.text.size() <= capacity_);
            check(next() == OutputSegment{Kind::meta, u"|"});
            for (std::size_t i = 0; i < capacity_; ++i) {
                const auto cell = columns.substr(3 * i + i / 8, i % 8 == 7 && i + 1 < capacity_ ? 4 : 3);
                if (i < ascii.text.size()) {
                    const std::uint8_t byte = parseHex(cell[0], cell[1]);
                    check(cell.substr(2).find_first_not_of(u' ') == std::u16string_view::npos);
                    check(ascii.text[i] == (isPrintable(byte) ? char16_t{byte} : u'.'));
                    out.push_back(byte);
                } else {
                    check(cell.find_first_not_of(u' ') == std::u16string_view::npos);
                }
            }
            break;
        }
        case DisplayMode::asciiEscaped: {
            std::optional<Kind> previous;
            while (at < segments.size() && segments[at] != OutputSegment{Kind::data, u"\n"}) {
                const auto& run = next();
                check(run.kind != Kind::timestamp && !run.text.empty() && run.kind != previous);
                if (run.kind == Kind::data) {
                    for (char16_t c : run.text) {
                        check(c <= 0xFF && isPrintable(static_cast<std::uint8_t>(c)));
                        out.push_back(static_cast<std::uint8_t>(c));
                    }
                } else {
                    parseNames(run.text, out);
                }
                previous = run.kind;
            }
            break;
        }
        }
        const std::size_t count = out.size() - before;
        check(count >= 1 && count <= capacity_);
        return count;
    }

    // Lines closed by a data segment holding one LF, offsets counting on from offset.
    std::size_t committed(const OutputSegments& segments, std::int64_t& offset, Bytes& out) const
    {
        std::size_t total = 0;
        std::size_t at = 0;
        while (at < segments.size()) {
            const std::size_t count = line(segments, at, offset, out);
            check(at < segments.size() && segments[at] == OutputSegment{Kind::data, u"\n"});
            ++at;
            total += count;
            offset += static_cast<std::int64_t>(count);
        }
        return total;
    }

    // At most one line, without the closing LF.
    std::size_t provisional(const OutputSegments& segments, std::int64_t offset, Bytes& out) const
    {
        if (segments.empty())
            return 0;
        std::size_t at = 0;
        const std::size_t count = line(segments, at, offset, out);
        check(at == segments.size());
        return count;
    }

private:
    const ByteDisplayOptions& options_;
    std::size_t capacity_;
};

// Plain hex as the formatter should show it, byte by byte: lines end at the byte count, after
// LF when asked, and at a pause between chunks; each starts with its first chunk's stamp.
class HexModel {
public:
    HexModel(const ByteDisplayOptions& options, std::size_t capacity) : options_(options), capacity_(capacity) {}

    void startChunk(std::chrono::system_clock::time_point time)
    {
        if (options_.gapMs >= 1 && !line_.empty() && lastTime_ &&
            std::chrono::duration<double, std::milli>(time - *lastTime_).count() >= static_cast<double>(options_.gapMs))
            finish();
        time_ = time;
    }
    void add(std::uint8_t byte)
    {
        if (line_.empty() && options_.timestamps)
            stamp_ = formatTimestamp(time_) + (options_.linePrefix ? u" " : u" -> ");
        line_.push_back(byte);
        if (line_.size() == capacity_ || (byte == 0x0A && options_.breakOnLF))
            finish();
    }
    void endChunk() { lastTime_ = time_; }
    // A commit or reset leaves the open line as shown; the harness marks the spot.
    void breakLine()
    {
        shown_ += rendering() + u"|";
        line_.clear();
        lastTime_.reset();
    }
    std::u16string finalText() const { return shown_ + rendering(); }

private:
    void finish()
    {
        shown_ += rendering() + u"\n";
        line_.clear();
    }
    std::u16string rendering() const
    {
        if (line_.empty())
            return {};
        std::u16string text = (options_.timestamps ? stamp_ : u"") + options_.linePrefix.value_or(u"");
        for (std::size_t i = 0; i < line_.size(); ++i) {
            if (i > 0)
                text += u' ';
            text += hexDigits[line_[i] >> 4];
            text += hexDigits[line_[i] & 0xF];
        }
        return text;
    }

    const ByteDisplayOptions& options_;
    std::size_t capacity_;
    Bytes line_;
    std::u16string stamp_;
    std::chrono::system_clock::time_point time_;
    std::optional<std::chrono::system_clock::time_point> lastTime_;
    std::u16string shown_;
};

std::u16string joinedText(const OutputSegments& segments)
{
    std::u16string text;
    for (const auto& segment : segments)
        text += segment.text;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size < headerSize)
        return 0;

    ByteDisplayOptions options;
    options.mode = allDisplayModes[input[0] % allDisplayModes.size()];
    options.bytesPerLine = bytesPerLineChoices[input[1] & 7];
    options.gapMs = allowedGapMs[(input[1] >> 3) & 7];
    options.breakOnLF = (input[2] & 1) != 0;
    options.timestamps = (input[2] & 2) != 0;
    if (input[2] & 4)
        options.linePrefix = u"← ";
    const std::size_t plans = input[3] % 32 + 1;
    const bool textLines = options.mode == DisplayMode::text || options.mode == DisplayMode::asciiEscaped;
    const std::size_t capacity = textLines ? ByteFormatter::textLineCapacity
                                           : static_cast<std::size_t>(std::max<std::int64_t>(options.bytesPerLine, 1));
    const bool readable = options.mode != DisplayMode::text;

    const std::uint8_t* const plan = input + headerSize;
    const std::size_t planBytes = std::min(size - headerSize, 2 * plans);
    const std::uint8_t* payload = plan + planBytes;
    const std::uint8_t* const end = input + size;

    const Checker checker(options, capacity);
    HexModel model(options, capacity);
    ByteFormatter formatter;
    auto time = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 54);

    Bytes fed;
    Bytes shownBytes;
    std::size_t finishedOrLeft = 0;
    std::int64_t offset = 0;
    OutputSegments tail;
    std::u16string shown;
    std::vector<ReceivedChunk> batch;

    auto arrive = [&](const std::uint8_t* bytes, std::size_t length, std::chrono::microseconds delay) {
        time += delay;
        batch.push_back({time, Bytes(bytes, bytes + length)});
        fed.insert(fed.end(), bytes, bytes + length);
        model.startChunk(time);
        for (std::size_t i = 0; i < length; ++i)
            model.add(bytes[i]);
        model.endChunk();
    };
    auto runBatch = [&] {
        const std::int64_t before = formatter.offset();
        check(before == offset);
        const auto result = formatter.format(batch, options);
        batch.clear();
        const std::size_t count = checker.committed(result.committed, offset, shownBytes);
        const auto finished = static_cast<std::size_t>(formatter.offset() - before);
        if (readable)
            check(count == finished && formatter.offset() == offset);
        else
            offset = formatter.offset();
        finishedOrLeft += finished;
        tail = result.provisional;
        Bytes tailBytes;
        const std::size_t open = checker.provisional(tail, offset, tailBytes);
        check(!readable || open == formatter.line().size());
        check(tail.empty() == formatter.line().empty());
        shown += joinedText(result.committed);
    };
    // A commit or reset leaves the open line on screen as it is.
    auto breakLine = [&](bool reset) {
        const std::size_t open = formatter.line().size();
        checker.provisional(tail, offset, shownBytes);
        finishedOrLeft += open;
        offset = reset ? 0 : offset + static_cast<std::int64_t>(open);
        shown += joinedText(tail) + u"|";
        tail.clear();
        model.breakLine();
        if (reset)
            formatter.reset();
        else
            formatter.commitLine();
        check(formatter.offset() == offset && formatter.line().empty() && !formatter.lastByteTime());
    };

    for (std::size_t i = 0; i + 1 < planBytes; i += 2) {
        const std::size_t length = std::min<std::size_t>(plan[i], static_cast<std::size_t>(end - payload));
        const std::uint8_t flags = plan[i + 1];
        arrive(payload, length, delayChoices[flags & 7]);
        payload += length;
        if (flags & 8) {
            runBatch();
            if (flags & 0x30)
                breakLine((flags & 0x20) != 0);
        }
    }
    arrive(payload, static_cast<std::size_t>(end - payload), 1ms);
    runBatch();

    finishedOrLeft += formatter.line().size();
    check(finishedOrLeft == fed.size());
    if (readable) {
        checker.provisional(tail, offset, shownBytes);
        check(shownBytes == fed);
    }
    if (options.mode == DisplayMode::hex)
        check(shown + joinedText(tail) == model.finalText());
    return 0;
}
