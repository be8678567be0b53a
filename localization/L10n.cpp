#include "localization/L10n.h"

#include <atomic>
#include <initializer_list>

#include "localization/Catalogue.h"

namespace velmora::L10n {

namespace {

// Ordinal of the language chosen from the list given to usePreferredLanguages; -1 until then.
std::atomic<int> requestedLanguage{-1};

thread_local std::optional<Language> scopedLanguage;

Language processLanguage()
{
    static const Language chosen = [] {
        const int requested = requestedLanguage.load(std::memory_order_acquire);
        if (requested >= 0) {
            return allLanguages[static_cast<std::size_t>(requested)];
        }
        return chooseLanguage(systemPreferredLanguages());
    }();
    return chosen;
}

// The one place catalogue texts read the language from.
Language currentLanguage()
{
    return scopedLanguage ? *scopedLanguage : processLanguage();
}

std::string_view textOf(Key key)
{
    return textsOf(key)[static_cast<std::size_t>(currentLanguage())];
}

std::string read(Key key)
{
    return std::string(textOf(key));
}

struct Value {
    std::string_view name;
    std::string_view text;
};

// The current language's template with each {name} replaced by its value. Values go in as they
// are and are never searched for names themselves; a {name} without a value stays as written.
std::string fill(Key key, std::initializer_list<Value> values)
{
    const std::string_view pattern = textOf(key);
    std::string filled;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const std::size_t open = pattern.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : pattern.find('}', open);
        if (close == std::string_view::npos) {
            filled.append(pattern.substr(at));
            break;
        }
        filled.append(pattern.substr(at, open - at));
        const std::string_view name = pattern.substr(open + 1, close - open - 1);
        std::string_view inserted = pattern.substr(open, close - open + 1);
        for (const Value& value : values) {
            if (value.name == name) {
                inserted = value.text;
            }
        }
        filled.append(inserted);
        at = close + 1;
    }
    return filled;
}

std::string digits(std::int64_t n)
{
    return std::to_string(n);
}

} // namespace

Language language()
{
    return currentLanguage();
}

void usePreferredLanguages(std::vector<std::string> preferred)
{
    requestedLanguage.store(static_cast<int>(chooseLanguage(preferred)), std::memory_order_release);
}

ScopedLanguage::ScopedLanguage(Language language) : previous_(scopedLanguage)
{
    scopedLanguage = language;
}

ScopedLanguage::~ScopedLanguage()
{
    scopedLanguage = previous_;
}

// The constant texts: each row makes its own accessor.
#define VELMORA_TEXT(group, key, en, nl, de, fr, es)                                                                   \
    std::string group::key()                                                                                           \
    {                                                                                                                  \
        return read(Key::group##_##key);                                                                               \
    }
#define VELMORA_TEMPLATE(group, key, en, nl, de, fr, es)
#include "localization/Catalogue.inc"
#undef VELMORA_TEMPLATE
#undef VELMORA_TEXT

std::string appName()
{
    return "Velmora";
}

std::string number(std::int64_t n, std::string_view suffix)
{
    return digits(n).append(suffix);
}

std::string Header::portNotConnected(std::string_view port)
{
    return fill(Key::Header_portNotConnected, {{"port", port}});
}

std::string Header::baud(std::int64_t rate)
{
    return fill(Key::Header_baud, {{"rate", digits(rate)}});
}

std::string Header::portInUseInOtherTab(std::string_view port)
{
    return fill(Key::Header_portInUseInOtherTab, {{"port", port}});
}

std::string Input::promptConnected(std::string_view port)
{
    return fill(Key::Input_promptConnected, {{"port", port}});
}

std::string Input::lineEndingChipHelp(std::string_view ending)
{
    return fill(Key::Input_lineEndingChipHelp, {{"ending", ending}});
}

std::string Send::promptHex(std::string_view port)
{
    return fill(Key::Send_promptHex, {{"port", port}});
}

std::string Send::invalidHex(std::string_view token)
{
    return fill(Key::Send_invalidHex, {{"token", token}});
}

std::string Send::oddLength(std::string_view token)
{
    return fill(Key::Send_oddLength, {{"token", token}});
}

std::string Footer::counters(std::int64_t rx, std::int64_t tx)
{
    return fill(Key::Footer_counters, {{"rx", digits(rx)}, {"tx", digits(tx)}});
}

// The plain HEX display mode and the HEX send mode share their name.
std::string Display::hex()
{
    return Send::hex();
}

std::string Display::milliseconds(std::int64_t n)
{
    return fill(Key::Display_milliseconds, {{"n", digits(n)}});
}

std::string Notice::connectTo(std::string_view port)
{
    return fill(Key::Notice_connectTo, {{"port", port}});
}

std::string Notice::noData(std::int64_t baud)
{
    return fill(Key::Notice_noData, {{"baud", digits(baud)}});
}

std::string Notice::garbage(std::int64_t baud)
{
    return fill(Key::Notice_garbage, {{"baud", digits(baud)}});
}

std::string Board::usbSerial(std::string_view chip)
{
    return fill(Key::Board_usbSerial, {{"chip", chip}});
}

std::string Lines::dtrChanged(bool on)
{
    return read(on ? Key::Lines_dtrOn : Key::Lines_dtrOff);
}

std::string Lines::rtsChanged(bool on)
{
    return read(on ? Key::Lines_rtsOn : Key::Lines_rtsOff);
}

std::string Plotter::valueName(std::int64_t n)
{
    return fill(Key::Plotter_valueName, {{"n", digits(n)}});
}

std::string Plotter::layoutName(PlotLayout layout)
{
    switch (layout) {
    case PlotLayout::stacked:
        return read(Key::Plotter_layoutStacked);
    case PlotLayout::cards:
        return read(Key::Plotter_layoutCards);
    case PlotLayout::shared:
        break;
    }
    return read(Key::Plotter_layoutShared);
}

std::string Settings::customBaudInvalid(std::int64_t min, std::int64_t max)
{
    return fill(Key::Settings_customBaudInvalid, {{"min", digits(min)}, {"max", digits(max)}});
}

std::string Status::connected(std::string_view path, std::string_view settings)
{
    return fill(Key::Status_connected, {{"path", path}, {"settings", settings}});
}

std::string Status::waitingForDevice(std::string_view reason)
{
    return fill(Key::Status_waitingForDevice, {{"reason", reason}});
}

std::string Status::reconnectFailed(std::string_view reason)
{
    return fill(Key::Status_reconnectFailed, {{"reason", reason}});
}

std::string Status::droppedBytes(std::int64_t n)
{
    return fill(Key::Status_droppedBytes, {{"n", digits(n)}});
}

std::string Errors::invalidPath(std::string_view path)
{
    return fill(Key::Errors_invalidPath, {{"path", path}});
}

std::string Errors::openFailed(std::string_view path, std::string_view reason)
{
    return fill(Key::Errors_openFailed, {{"path", path}, {"reason", reason}});
}

std::string Errors::busy(std::string_view path)
{
    return fill(Key::Errors_busy, {{"path", path}});
}

std::string Errors::configurationFailed(std::string_view step, std::string_view reason)
{
    return fill(Key::Errors_configurationFailed, {{"step", step}, {"reason", reason}});
}

std::string Errors::unsupportedBaud(std::int64_t rate, std::string_view reason)
{
    return fill(Key::Errors_unsupportedBaud, {{"rate", digits(rate)}, {"reason", reason}});
}

std::string Errors::readFailed(std::string_view reason)
{
    return fill(Key::Errors_readFailed, {{"reason", reason}});
}

std::string Errors::writeFailed(std::string_view reason)
{
    return fill(Key::Errors_writeFailed, {{"reason", reason}});
}

std::string Errors::lineControlFailed(std::string_view reason)
{
    return fill(Key::Errors_lineControlFailed, {{"reason", reason}});
}

std::string Errors::messageTooLong(std::int64_t max)
{
    return fill(Key::Errors_messageTooLong, {{"max", digits(max)}});
}

std::string Errors::saveFailed(std::string_view reason)
{
    return fill(Key::Errors_saveFailed, {{"reason", reason}});
}

} // namespace velmora::L10n
