#pragma once

#include "core/exec/MainQueue.h"
#include "core/pipeline/ByteFormatter.h"
#include "core/pipeline/GarbageDetector.h"
#include "core/pipeline/OutputBuffer.h"
#include "core/pipeline/ReceiveCoalescer.h"
#include "core/pipeline/TerminalTextProcessor.h"
#include "core/plot/PlotStore.h"
#include "core/send/SendComposer.h"
#include "core/session/Session.h"
#include "core/session/SessionSettings.h"

#include <chrono>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmora {

// Everything between a port's reads and what the output and the plot show: the coalescer's
// batches through the text processor or the byte formatter into the output, the plot, the
// garbled-data check, status lines and echoes in the order they happened, and the hint that
// nothing arrives.
//
// Thread: main thread only; the coalescer's receive is the one entry from the I/O thread.
class ReceivePath : public std::enable_shared_from_this<ReceivePath> {
public:
    static constexpr std::chrono::milliseconds noDataDelay{5000};

    struct Parts {
        ReceiveStatus& status;
        const ConnectionStatus& connection;
        const DisplaySettings& display;
        OutputBuffer& output;
        PlotStore& plot;
    };

    static std::shared_ptr<ReceivePath> create(MainQueue& mainQueue, Parts parts);
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    // Where a port's reads go. Created on first use and kept for every later connection.
    const std::shared_ptr<ReceiveCoalescer>& coalescer();
    // Received bytes waiting to be shown; never more than the coalescer's 4 MiB.
    std::int64_t bytesNotYetShown() const { return coalescer_ ? coalescer_->pendingBytes() : 0; }

    // A port was opened: decoding starts afresh and the garbled-data check with it.
    void portOpened();
    // Shows everything received so far, with the echoes waiting behind it.
    void drain();
    // A status line in the output: "--- text ---".
    void postNotice(const std::string& text);
    // Shows the echo once every byte received before it is shown.
    void showEchoInOrder(EchoLine echo);
    // Drops everything received before now, shown or not.
    void clear();
    // Continues the output on a fresh line after a change of the byte layout.
    void layoutChanged();
    void dismissGarbage();
    bool garbageDismissed() const { return garbageDismissed_; }

    // After connecting: the hint shows when nothing arrives in noDataDelay.
    void scheduleNoDataHint();
    void cancelNoDataHint();

    // Resting between reads merges pieces and moves their arrival times: harmless only while no
    // line shows a time or breaks at a pause.
    bool wantsPacedReads() const;

private:
    ReceivePath(MainQueue& mainQueue, Parts parts);

    void handleBatch(std::vector<ReceivedChunk> chunks, std::int64_t skippedBytes);
    void processBatch(std::span<const ReceivedChunk> chunks, std::int64_t skippedBytes);
    void showEcho(const EchoLine& echo);
    // After a line the output ended itself: what is received next starts a line of its own.
    void continueOnFreshLine();
    void refreshOutputIsEmpty();

    MainQueue& mainQueue_;
    Parts parts_;
    std::shared_ptr<ReceiveCoalescer> coalescer_;
    TerminalTextProcessor processor_;
    ByteFormatter byteFormatter_;
    GarbageDetector garbageDetector_;
    bool garbageDismissed_ = false;
    TaskHandle noDataWork_;
    std::int64_t noDataBaseline_ = 0;
    // Echo lines of sends made while received bytes still waited in the coalescer, each with the
    // coalescer's kept count at its send: it is shown once that many pieces were handed on.
    struct WaitingEcho {
        std::uint64_t afterPieces = 0;
        EchoLine line;
    };
    std::deque<WaitingEcho> waitingEchoes_;
};

} // namespace velmora
