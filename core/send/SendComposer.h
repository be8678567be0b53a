#pragma once

#include "core/platform/Setting.h"
#include "core/send/HexParser.h"
#include "core/send/SendMode.h"
#include "core/support/Published.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class AlertSound;

// The echo of sent data as the output shows it: stamp, "→ ", text, suffix.
struct EchoLine {
    std::u16string text;
    std::optional<std::u16string> stamp;
    std::optional<std::u16string> suffix;

    friend bool operator==(const EchoLine&, const EchoLine&) = default;
};

// What one Send hands to the session: the bytes for the port's write and, with echo on, the
// line to show right away, without waiting for the write.
struct OutgoingMessage {
    std::vector<std::uint8_t> bytes;
    std::optional<EchoLine> echo;

    friend bool operator==(const OutgoingMessage&, const OutgoingMessage&) = default;
};

// The session's state at the moment Send is pressed.
struct SendConditions {
    // An open port in the connected state.
    bool connected = false;
    bool echoSent = true;
    bool showTimestamps = false;
    std::chrono::system_clock::time_point now;
};

// The input field of a session and what Send makes of it: text in UTF-8 with a line ending, or
// bytes written in HEX without one, at most maxMessageBytes either way; plus the history of sent
// messages that Up and Down walk through.
//
// The composer owns the field's text and the persisted mode and line ending; views set them
// directly. The history changes only through send, historyUp and historyDown, which keep its
// rules.
//
// Thread: main thread only.
class SendComposer {
public:
    static constexpr std::size_t maxHistoryEntries = 100;

    SendComposer(SettingsStore& store, const SettingKey<SendMode>& modeKey, const SettingKey<LineEnding>& endingKey)
        : sendMode(store, modeKey), lineEnding(store, endingKey)
    {
    }
    SendComposer(const SendComposer&) = delete;
    SendComposer& operator=(const SendComposer&) = delete;

    Published<std::string> inputText; // UTF-8
    Setting<SendMode> sendMode;
    Setting<LineEnding> lineEnding;

    // Oldest first.
    const std::vector<std::string>& history() const { return history_; }
    // The entry shown while browsing with Up and Down; none when not browsing.
    std::optional<std::size_t> historyIndex() const { return historyIndex_; }
    // The field's text when browsing began, given back when Down walks past the newest entry.
    const std::string& historyDraft() const { return historyDraft_; }

    // The bytes Send would transmit now. Text mode adds the line ending after at most
    // maxMessageBytes of text; HEX mode never adds one.
    BytesOrHexError payloadBytes() const;
    // The message shown under the field while HEX input does not parse; none in text mode.
    std::optional<std::string> hexInputError() const;

    // Nothing happens while not connected. Input that cannot be sent plays the alert and stays;
    // input that gives no bytes stays too. Otherwise the message is remembered in the history,
    // the field is emptied, and the caller starts the port's write and shows the echo.
    std::optional<OutgoingMessage> send(const SendConditions& conditions, AlertSound& alert);

    // Up: older entries, stopping at the oldest. Down: newer ones, then back to the draft.
    // Editing a recalled entry does not end browsing.
    void historyUp();
    void historyDown();

private:
    void remember(const std::string& message);

    std::vector<std::string> history_;
    std::optional<std::size_t> historyIndex_;
    std::string historyDraft_;
};

} // namespace velmora
