#include "core/send/SendComposer.h"

#include "core/platform/AlertSound.h"
#include "core/text/Timestamp.h"
#include "core/text/Utf8.h"

namespace velmora {

namespace {

// Whatever notation was typed, the echo shows the bytes one way: "0A 0B".
std::u16string hexEchoText(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += u' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

} // namespace

BytesOrHexError SendComposer::payloadBytes() const
{
    const auto& text = inputText.value();
    if (*sendMode == SendMode::hex)
        return parseHex(text, maxMessageBytes);
    if (static_cast<std::int64_t>(text.size()) > maxMessageBytes)
        return HexParseError::tooLong(maxMessageBytes);
    std::vector<std::uint8_t> payload(text.begin(), text.end());
    const auto ending = bytes(*lineEnding);
    payload.insert(payload.end(), ending.begin(), ending.end());
    return payload;
}

std::optional<std::string> SendComposer::hexInputError() const
{
    if (*sendMode != SendMode::hex)
        return std::nullopt;
    const auto parsed = parseHex(inputText.value(), maxMessageBytes);
    if (parsed.ok())
        return std::nullopt;
    return parsed.error().message();
}

std::optional<OutgoingMessage> SendComposer::send(const SendConditions& conditions, AlertSound& alert)
{
    if (!conditions.connected)
        return std::nullopt;
    auto payload = payloadBytes();
    if (!payload.ok()) {
        alert.play();
        return std::nullopt;
    }
    if (payload.bytes().empty())
        return std::nullopt;

    OutgoingMessage message{payload.bytes(), std::nullopt};
    if (conditions.echoSent) {
        EchoLine echo;
        if (conditions.showTimestamps)
            echo.stamp = formatTimestamp(conditions.now) + u" ";
        if (*sendMode == SendMode::hex) {
            echo.text = hexEchoText(message.bytes);
        } else {
            echo.text = utf8ToUtf16(inputText.value());
            echo.suffix = echoMarker(*lineEnding);
        }
        message.echo = std::move(echo);
    }

    remember(inputText.value());
    historyIndex_.reset();
    inputText.setIfChanged({});
    return message;
}

void SendComposer::remember(const std::string& message)
{
    // An empty line sent with its line ending is not worth recalling.
    if (message.empty() || (!history_.empty() && history_.back() == message))
        return;
    history_.push_back(message);
    if (history_.size() > maxHistoryEntries)
        history_.erase(history_.begin());
}

void SendComposer::historyUp()
{
    if (history_.empty())
        return;
    if (!historyIndex_) {
        historyDraft_ = inputText.value();
        historyIndex_ = history_.size() - 1;
    } else if (*historyIndex_ >= 1) {
        --*historyIndex_;
    }
    inputText.setIfChanged(history_[*historyIndex_]);
}

void SendComposer::historyDown()
{
    if (!historyIndex_)
        return;
    if (*historyIndex_ + 1 >= history_.size()) {
        historyIndex_.reset();
        inputText.setIfChanged(historyDraft_);
        return;
    }
    ++*historyIndex_;
    inputText.setIfChanged(history_[*historyIndex_]);
}

} // namespace velmora
