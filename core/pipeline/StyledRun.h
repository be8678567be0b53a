#pragma once

#include <string_view>

namespace velmora {

// The five looks of output text. The view decides colours and fonts; they only have to stay
// distinct, and system (notices) is smaller and heavier than the rest.
enum class TextStyle { data, timestamp, echo, meta, system };

// A piece of text to insert with its style. The text is borrowed for the duration of the call.
struct StyledRun {
    TextStyle style;
    std::u16string_view text;
};

} // namespace velmora
