#pragma once

#include "core/pipeline/DisplayMode.h"
#include "core/pipeline/OutputSegment.h"
#include "core/pipeline/ReceivedChunk.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// Cuts the received byte stream into lines (by byte count, after LF, after a pause between
// chunks) and renders them as HEX, HEX dump, decimal, binary or escaped ASCII. Finished lines
// are committed; the unfinished one is rendered again with every batch as a provisional tail
// that replaces the previous one.
//
// Thread: main thread only; a plain value held by the session.
class ByteFormatter {
public:
    // Bytes per line in text and asciiEscaped mode, where only LF would otherwise end a line.
    static constexpr std::size_t textLineCapacity = 1024;

    struct Result {
        OutputSegments committed;
        OutputSegments provisional;

        friend bool operator==(const Result&, const Result&) = default;
    };

    // The chunks of one batch in arrival order. Options apply from this call on; lines already
    // committed keep their rendering.
    Result format(std::span<const ReceivedChunk> chunks, const ByteDisplayOptions& options);

    // Leaves the unfinished line as it is shown and starts the next byte on a new line, with
    // its offset counted on. Nothing is emitted.
    void commitLine();
    // Back to the initial state, offsets from 0 again: a new connection or a cleared output.
    void reset();

    std::span<const std::uint8_t> line() const { return line_; }
    const std::optional<std::u16string>& lineStamp() const { return lineStamp_; }
    // Bytes in all lines finished since the last reset: the offset of the current line.
    std::int64_t offset() const { return offset_; }
    std::optional<std::chrono::system_clock::time_point> lastByteTime() const { return lastByteTime_; }

private:
    void finishLine(std::span<const std::uint8_t> bytes, OutputSegments& committed, const ByteDisplayOptions& options);

    std::vector<std::uint8_t> line_;
    std::optional<std::u16string> lineStamp_;
    std::int64_t offset_ = 0;
    std::optional<std::chrono::system_clock::time_point> lastByteTime_;
};

} // namespace velmora
