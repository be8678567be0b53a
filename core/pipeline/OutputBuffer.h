#pragma once

#include "core/pipeline/InMemoryTextStore.h"
#include "core/pipeline/OutputSegment.h"
#include "core/support/Observers.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Everything a session's output area shows: received data in every display mode, notices and
// the echo of sent data, as styled text in a store that the view displays directly. Keeps itself
// within maxCharacters by trimming whole lines from the front, keeps a provisional tail (the
// unfinished line of the byte modes) that the next append replaces, and asks the view to scroll
// to the end after each change.
//
// Every operation that changes the text is one editing transaction of the store, trimming
// included, and scrolling follows the transaction.
//
// Thread: main thread only.
class OutputBuffer {
public:
    static constexpr std::size_t maxCharacters = 2'000'000;
    static constexpr std::size_t trimTarget = 1'500'000;

    OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // The view displays the store and observes its changes; it never edits it.
    const InMemoryTextStore& storage() const { return storage_; }

    bool autoscroll() const { return autoscroll_; }
    void setAutoscroll(bool on) { autoscroll_ = on; }

    // Told after each change while autoscroll is on, so that the view shows the end.
    const Observers<>& scrollsToEnd() const { return scrollsToEnd_; }

    std::size_t provisionalLength() const { return provisionalLength_; }
    bool isEmpty() const { return storage_.length() == 0; }

    // Replaces the provisional tail with the committed segments followed by the provisional ones,
    // which become the new tail. One edit of the store.
    void appendSegments(const OutputSegments& committed, const OutputSegments& provisional);
    // Makes the tail ordinary text and ends an unfinished line.
    void finishLine();
    // "--- text ---" on a line of its own, in the system style.
    void appendNotice(std::string_view utf8Text);
    // One echo line of sent data: the stamp, "→ " and the text, the suffix.
    void appendEcho(
        std::u16string_view text, std::optional<std::u16string> stamp, std::optional<std::u16string> suffix);
    void clear();

private:
    bool endsInLineBreak() const;
    // Ends the transaction that the caller began, trimming first, then scrolls.
    void finishEdit();
    void trim();

    InMemoryTextStore storage_;
    Observers<> scrollsToEnd_;
    bool autoscroll_ = true;
    std::size_t provisionalLength_ = 0;
    // Reused between batches so that appending allocates nothing once it has grown.
    std::vector<StyledRun> runs_;
};

} // namespace velmora
