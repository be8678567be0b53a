#include "core/session/ReceivePath.h"

#include "localization/L10n.h"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

const std::u16string receivedMarker = u"\u2190 ";

} // namespace

std::shared_ptr<ReceivePath> ReceivePath::create(MainQueue& mainQueue, Parts parts)
{
    return std::shared_ptr<ReceivePath>(new ReceivePath(mainQueue, parts));
}

ReceivePath::ReceivePath(MainQueue& mainQueue, Parts parts) : mainQueue_(mainQueue), parts_(parts)
{
}

const std::shared_ptr<ReceiveCoalescer>& ReceivePath::coalescer()
{
    if (!coalescer_) {
        coalescer_ = ReceiveCoalescer::create(
            mainQueue_, [weakSelf = weak_from_this()](std::vector<ReceivedChunk> chunks, std::int64_t dropped) {
                if (auto self = weakSelf.lock())
                    self->handleBatch(std::move(chunks), dropped);
            });
    }
    return coalescer_;
}

void ReceivePath::portOpened()
{
    processor_.reset();
    byteFormatter_.reset();
    garbageDetector_.reset();
    parts_.status.garbageSuspected.setIfChanged(false);
    garbageDismissed_ = false;
}

void ReceivePath::drain()
{
    if (!coalescer_)
        return;
    auto drained = coalescer_->drain();
    handleBatch(std::move(drained.chunks), drained.droppedBytes);
}

void ReceivePath::handleBatch(std::vector<ReceivedChunk> chunks, std::int64_t skippedBytes)
{
    // The batch is the last pieces the coalescer handed on; an echo waiting for some of them goes
    // right after its last one.
    const std::uint64_t handedOnBefore = coalescer_->handedOnCount() - chunks.size();
    const std::span<const ReceivedChunk> all(chunks);
    std::size_t shown = 0;
    while (!waitingEchoes_.empty() && waitingEchoes_.front().afterPieces <= handedOnBefore + chunks.size()) {
        const auto upTo =
            static_cast<std::size_t>(std::max(waitingEchoes_.front().afterPieces, handedOnBefore) - handedOnBefore);
        processBatch(all.subspan(shown, upTo - shown), std::exchange(skippedBytes, 0));
        shown = upTo;
        showEcho(waitingEchoes_.front().line);
        waitingEchoes_.pop_front();
    }
    processBatch(all.subspan(shown), skippedBytes);
}

void ReceivePath::processBatch(std::span<const ReceivedChunk> chunks, std::int64_t skippedBytes)
{
    if (skippedBytes >= 1)
        postNotice(L10n::Status::droppedBytes(skippedBytes));
    if (chunks.empty())
        return;

    auto& status = parts_.status;
    const auto& display = parts_.display;
    std::int64_t total = 0;
    for (const auto& chunk : chunks)
        total += static_cast<std::int64_t>(chunk.data.size());
    status.rxBytes.set(status.rxBytes.value() + total);
    status.showNoDataHint.setIfChanged(false);

    if (*display.showPlotter) {
        for (const auto& chunk : chunks)
            parts_.plot.ingest(chunk.data);
    }

    const auto prefix = *display.echoSent ? std::optional<std::u16string_view>(receivedMarker) : std::nullopt;
    if (*display.displayMode == DisplayMode::text) {
        OutputSegments segments;
        for (const auto& chunk : chunks) {
            auto part = processor_.process(chunk.data, *display.showTimestamps, prefix, chunk.time);
            segments.insert(segments.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
            if (!garbageDismissed_)
                garbageDetector_.feed(chunk.data);
        }
        parts_.output.appendSegments(segments, {});
        if (!garbageDismissed_ && !status.garbageSuspected.value() && garbageDetector_.isGarbled())
            status.garbageSuspected.set(true);
    } else {
        ByteDisplayOptions options;
        options.mode = *display.displayMode;
        options.bytesPerLine = *display.bytesPerLine;
        options.breakOnLF = *display.breakOnLF;
        options.gapMs = *display.packetGapMs;
        options.timestamps = *display.showTimestamps;
        if (prefix)
            options.linePrefix = std::u16string(*prefix);
        const auto formatted = byteFormatter_.format(chunks, options);
        parts_.output.appendSegments(formatted.committed, formatted.provisional);
    }
    refreshOutputIsEmpty();
}

void ReceivePath::postNotice(const std::string& text)
{
    parts_.output.appendNotice(text);
    continueOnFreshLine();
}

void ReceivePath::showEchoInOrder(EchoLine echo)
{
    // What waits is shown now, one slice of it; a longer backlog keeps the echo queued behind it
    // rather than holding the window until all of it is shown.
    waitingEchoes_.push_back({coalescer()->keptCount(), std::move(echo)});
    auto slice = coalescer_->takeSlice();
    handleBatch(std::move(slice.chunks), slice.droppedBytes);
}

void ReceivePath::showEcho(const EchoLine& echo)
{
    // Whatever arrives next starts on a line of its own, in any display mode.
    parts_.output.appendEcho(echo.text, echo.stamp, echo.suffix);
    continueOnFreshLine();
}

void ReceivePath::clear()
{
    if (coalescer_)
        coalescer_->discard();
    waitingEchoes_.clear();
    parts_.output.clear();
    processor_.resetLine();
    byteFormatter_.reset();
    parts_.status.rxBytes.setIfChanged(0);
    refreshOutputIsEmpty();
}

void ReceivePath::layoutChanged()
{
    parts_.output.finishLine();
    continueOnFreshLine();
}

void ReceivePath::dismissGarbage()
{
    garbageDismissed_ = true;
    parts_.status.garbageSuspected.setIfChanged(false);
}

void ReceivePath::scheduleNoDataHint()
{
    noDataWork_.cancel();
    noDataBaseline_ = parts_.status.rxBytes.value();
    noDataWork_ = mainQueue_.postAfter(noDataDelay, [weakSelf = weak_from_this()] {
        auto self = weakSelf.lock();
        if (self && self->parts_.connection.state.value() == ConnectionState::connected &&
            self->parts_.status.rxBytes.value() == self->noDataBaseline_)
            self->parts_.status.showNoDataHint.setIfChanged(true);
    });
}

void ReceivePath::cancelNoDataHint()
{
    noDataWork_.cancel();
    noDataWork_ = TaskHandle();
    parts_.status.showNoDataHint.setIfChanged(false);
}

bool ReceivePath::wantsPacedReads() const
{
    const auto& display = parts_.display;
    const bool breaksAtPauses = *display.displayMode != DisplayMode::text && *display.packetGapMs > 0;
    return !*display.showTimestamps && !breaksAtPauses;
}

void ReceivePath::continueOnFreshLine()
{
    processor_.resetLine();
    byteFormatter_.commitLine();
    refreshOutputIsEmpty();
}

void ReceivePath::refreshOutputIsEmpty()
{
    parts_.status.outputIsEmpty.setIfChanged(parts_.output.isEmpty());
}

} // namespace velmora
