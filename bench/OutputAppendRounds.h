#pragma once

// What the output benchmarks share: a batch of typical sensor lines and a timed round of appends.
#include "core/pipeline/OutputBuffer.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::bench {

// One data segment of size characters of "t=12345 temp:21.5 hum:40.25" lines.
inline OutputSegments sensorBatch(std::size_t size)
{
    constexpr std::u16string_view line = u"t=12345 temp:21.5 hum:40.25\n";
    std::u16string text;
    while (text.size() < size)
        text += line;
    text.resize(size);
    return {{OutputSegment::Kind::data, text}};
}

// Appends batch count times and returns the seconds it took.
inline double appendRound(OutputBuffer& buffer, const OutputSegments& batch, std::size_t count)
{
    static const OutputSegments none;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < count; ++i)
        buffer.appendSegments(batch, none);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace velmora::bench
