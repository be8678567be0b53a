#pragma once

#include "core/pipeline/OutputSegment.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace velmora {

// Turns received bytes into safe display text: UTF-8 decoded across chunk boundaries, ANSI/VT
// escape sequences removed rather than interpreted, CR, LF and CR LF each shown as one line
// break, other control characters shown as control pictures, and characters that could reorder
// or disguise text (C1 controls, bidirectional formatting) replaced by U+FFFD. Every line can
// start with a time stamp and a direction marker. A filter, not a terminal emulator: received
// bytes are never acted on.
//
// A value type owned by a session and used on the main thread; its state carries over from chunk
// to chunk, so a sequence split across reads comes out as if it had arrived whole.
class TerminalTextProcessor {
public:
    enum class EscapeState { normal, escape, csi, osc };

    // Characters an unterminated CSI or OSC sequence may swallow before text shows again.
    static constexpr std::int64_t maxEscapeLength = 257;

    OutputSegments process(std::span<const std::uint8_t> bytes, bool timestamps,
        std::optional<std::u16string_view> linePrefix, std::chrono::system_clock::time_point time);

    // Back to the initial state (a connection opens).
    void reset();
    // The next character starts a fresh line (after a notice, an echo, a setting change or a
    // clear); an open escape sequence or an incomplete character stays.
    void resetLine();

    const std::vector<std::uint8_t>& carry() const { return carry_; }
    EscapeState escapeState() const { return escapeState_; }
    bool atLineStart() const { return atLineStart_; }

private:
    std::vector<std::uint8_t> carry_;
    bool lastWasCR_ = false;
    bool atLineStart_ = true;
    EscapeState escapeState_ = EscapeState::normal;
    std::int64_t escapeLength_ = 0;
};

} // namespace velmora
