#pragma once

#include <string>
#include <vector>

namespace velmora {

// A run of output text and what it is: received data, a line's time stamp, or a marker that is
// not data (direction arrows, dump offsets and separators, escape names). Text is UTF-16, the
// unit in which the output is stored and measured.
struct OutputSegment {
    enum class Kind { data, timestamp, meta };

    Kind kind = Kind::data;
    std::u16string text;

    friend bool operator==(const OutputSegment&, const OutputSegment&) = default;
};

using OutputSegments = std::vector<OutputSegment>;

} // namespace velmora
