#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
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

// The styled text that the output view displays as it is, without a copy. Lengths and positions
// count UTF-16 code units. The Qt application implements it over the text view's document; the
// core has an in-memory one.
//
// Thread: main thread only.
class StyledTextStore {
public:
    virtual ~StyledTextStore() = default;

    virtual std::size_t length() const = 0;
    // Brackets one editing transaction, so the view lays out once for all edits inside it.
    virtual void beginEditing() = 0;
    virtual void endEditing() = 0;
    virtual void append(std::span<const StyledRun> runs) = 0;
    virtual void replace(std::size_t start, std::size_t count, std::span<const StyledRun> runs) = 0;
    virtual void remove(std::size_t start, std::size_t count) = 0;
    // The first position at or after from that holds c.
    virtual std::optional<std::size_t> find(char16_t c, std::size_t from) const = 0;
    // The plain text, for saving.
    virtual std::u16string text() const = 0;
};

} // namespace velmora
