#include "localization/L10n.h"
#include "tests/localization/TextChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace velmora;

using velmora::testing::withoutCode;

namespace {

// One entry per key; keys with a boolean or a layout have one entry per case, named
// "Group.key(case)". String values are the placeholder names themselves and integers
// distinctive numbers, so that every inserted value can be found again in each text.
struct KeyCase {
    std::string_view name;
    std::string english;
    std::function<std::string()> text;
};

const std::vector<KeyCase>& allKeys()
{
    static const std::vector<KeyCase> keys{
        {"number", "7340033{suffix}", [] { return L10n::number(7340033, "{suffix}"); }},
        {"appName", "Velmora", [] { return L10n::appName(); }},
        {"Help.windowTitle", "Velmora Help", [] { return L10n::Help::windowTitle(); }},
        {"Help.searchPrompt", "Search help", [] { return L10n::Help::searchPrompt(); }},
        {"Help.noResults", "No topics found", [] { return L10n::Help::noResults(); }},
        {"Help.tipLabel", "Tip", [] { return L10n::Help::tipLabel(); }},
        {"Header.port", "Port", [] { return L10n::Header::port(); }},
        {"Header.baudRate", "Baud rate", [] { return L10n::Header::baudRate(); }},
        {"Header.noPortsFound", "No ports found", [] { return L10n::Header::noPortsFound(); }},
        {"Header.choosePort", "Select a port…", [] { return L10n::Header::choosePort(); }},
        {"Header.portNotConnected", "{port} (not connected)", [] { return L10n::Header::portNotConnected("{port}"); }},
        {"Header.baud", "7340033 baud", [] { return L10n::Header::baud(7340033); }},
        {"Header.portInUseInOtherTab", "{port} (open in another tab)",
         [] { return L10n::Header::portInUseInOtherTab("{port}"); }},
        {"Header.frameSettingsHelp", "Data bits, parity, stop bits and flow control",
         [] { return L10n::Header::frameSettingsHelp(); }},
        {"Header.connect", "Connect", [] { return L10n::Header::connect(); }},
        {"Header.disconnect", "Disconnect", [] { return L10n::Header::disconnect(); }},
        {"Header.connectHelp", "Connect (⌘R)", [] { return L10n::Header::connectHelp(); }},
        {"Header.disconnectHelp", "Disconnect (⌘R)", [] { return L10n::Header::disconnectHelp(); }},
        {"State.connected", "Connected", [] { return L10n::State::connected(); }},
        {"State.waiting", "Waiting…", [] { return L10n::State::waiting(); }},
        {"State.disconnected", "Not connected", [] { return L10n::State::disconnected(); }},
        {"Input.promptConnected", "Message (Enter to send message to '{port}')",
         [] { return L10n::Input::promptConnected("{port}"); }},
        {"Input.promptWaiting", "Waiting for device…", [] { return L10n::Input::promptWaiting(); }},
        {"Input.promptDisconnected", "Not connected — select a port and click Connect",
         [] { return L10n::Input::promptDisconnected(); }},
        {"Input.send", "Send", [] { return L10n::Input::send(); }},
        {"Input.lineEnding", "Line ending", [] { return L10n::Input::lineEnding(); }},
        {"Input.noLineEndingShort", "none", [] { return L10n::Input::noLineEndingShort(); }},
        {"Input.lineEndingChipHelp", "Appended to every message: {ending}",
         [] { return L10n::Input::lineEndingChipHelp("{ending}"); }},
        {"Send.mode", "Send mode", [] { return L10n::Send::mode(); }},
        {"Send.text", "Text", [] { return L10n::Send::text(); }},
        {"Send.hex", "HEX", [] { return L10n::Send::hex(); }},
        {"Send.promptHex", "HEX bytes, e.g. 01 03 00 00 00 0A (Enter to send to '{port}')",
         [] { return L10n::Send::promptHex("{port}"); }},
        {"Send.invalidHex", "'{token}' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF.",
         [] { return L10n::Send::invalidHex("{token}"); }},
        {"Send.oddLength", "'{token}' has an odd number of digits. Write bytes as pairs, e.g. 0A or 01 0A.",
         [] { return L10n::Send::oddLength("{token}"); }},
        {"Send.lineEndingNotInHex", "No line ending is added in HEX mode. Type 0D 0A yourself if needed.",
         [] { return L10n::Send::lineEndingNotInHex(); }},
        {"Send.menuSendAsHex", "Send as HEX", [] { return L10n::Send::menuSendAsHex(); }},
        {"LineEnding.none", "No line ending", [] { return L10n::LineEnding::none(); }},
        {"LineEnding.lf", "New line (LF)", [] { return L10n::LineEnding::lf(); }},
        {"LineEnding.cr", "Carriage return (CR)", [] { return L10n::LineEnding::cr(); }},
        {"LineEnding.crlf", "Both NL & CR (CRLF)", [] { return L10n::LineEnding::crlf(); }},
        {"Footer.autoscroll", "Autoscroll", [] { return L10n::Footer::autoscroll(); }},
        {"Footer.timestamp", "Show timestamp", [] { return L10n::Footer::timestamp(); }},
        {"Footer.echo", "Echo sent", [] { return L10n::Footer::echo(); }},
        {"Footer.echoHelp", "Show sent messages in the output", [] { return L10n::Footer::echoHelp(); }},
        {"Footer.counters", "RX 7340033 B  ·  TX 7340034 B", [] { return L10n::Footer::counters(7340033, 7340034); }},
        {"Footer.save", "Save…", [] { return L10n::Footer::save(); }},
        {"Footer.saveHelp", "Save output as text file (⌘S)", [] { return L10n::Footer::saveHelp(); }},
        {"Footer.clear", "Clear output", [] { return L10n::Footer::clear(); }},
        {"Footer.clearHelp", "Clear output (⌘K)", [] { return L10n::Footer::clearHelp(); }},
        {"Footer.outputAccessibility", "Serial output", [] { return L10n::Footer::outputAccessibility(); }},
        {"Display.mode", "Display", [] { return L10n::Display::mode(); }},
        {"Display.modeHelp", "How received data is displayed", [] { return L10n::Display::modeHelp(); }},
        {"Display.text", "Text (UTF-8)", [] { return L10n::Display::text(); }},
        {"Display.hex", "HEX", [] { return L10n::Display::hex(); }},
        {"Display.hexDump", "HEX + ASCII (dump)", [] { return L10n::Display::hexDump(); }},
        {"Display.decimal", "Decimal", [] { return L10n::Display::decimal(); }},
        {"Display.binary", "Binary", [] { return L10n::Display::binary(); }},
        {"Display.asciiEscaped", "ASCII with control codes", [] { return L10n::Display::asciiEscaped(); }},
        {"Display.options", "Display options", [] { return L10n::Display::options(); }},
        {"Display.output", "Output", [] { return L10n::Display::output(); }},
        {"Display.byteModes", "HEX, dump, decimal and binary", [] { return L10n::Display::byteModes(); }},
        {"Display.optionsHelp", "Autoscroll, timestamp, echo and byte-mode options",
         [] { return L10n::Display::optionsHelp(); }},
        {"Display.bytesPerLine", "Bytes per line", [] { return L10n::Display::bytesPerLine(); }},
        {"Display.breakOnLF", "New line after LF (0x0A)", [] { return L10n::Display::breakOnLF(); }},
        {"Display.packetGap", "New line after pause", [] { return L10n::Display::packetGap(); }},
        {"Display.off", "Off", [] { return L10n::Display::off(); }},
        {"Display.milliseconds", "7340033 ms", [] { return L10n::Display::milliseconds(7340033); }},
        {"Display.textModeNote",
         "These options apply to HEX, dump, decimal and binary. In text mode lines follow the received "
         "line endings.",
         [] { return L10n::Display::textModeNote(); }},
        {"Display.packetGapNote", "Useful for binary protocols such as Modbus RTU: each packet on its own line.",
         [] { return L10n::Display::packetGapNote(); }},
        {"Notice.emptyTitle", "Ready to connect", [] { return L10n::Notice::emptyTitle(); }},
        {"Notice.emptySteps", "Choose the port and your sketch's baud rate at the top, then click Connect (⌘R).",
         [] { return L10n::Notice::emptySteps(); }},
        {"Notice.emptyNoDevice", "No USB device found", [] { return L10n::Notice::emptyNoDevice(); }},
        {"Notice.emptyNoDeviceSteps",
         "Connect your board with a USB cable that carries data. The port will appear automatically.",
         [] { return L10n::Notice::emptyNoDeviceSteps(); }},
        {"Notice.connectTo", "Connect to {port}", [] { return L10n::Notice::connectTo("{port}"); }},
        {"Notice.noData",
         "No data received yet. Does your sketch send something with Serial.print, and is Serial.begin "
         "also set to 7340033?",
         [] { return L10n::Notice::noData(7340033); }},
        {"Notice.garbage", "Garbled data? The baud rate (7340033) is probably wrong. Try:",
         [] { return L10n::Notice::garbage(7340033); }},
        {"Notice.dismiss", "Dismiss", [] { return L10n::Notice::dismiss(); }},
        {"Notice.backToText", "back to text", [] { return L10n::Notice::backToText(); }},
        {"Notice.backToTextHelp", "Received data is not shown as text. Click to switch back to text (⌘1).",
         [] { return L10n::Notice::backToTextHelp(); }},
        {"Board.usbSerial", "USB serial ({chip})", [] { return L10n::Board::usbSerial("{chip}"); }},
        {"Lines.menuHelp", "DTR/RTS signals and resetting your board", [] { return L10n::Lines::menuHelp(); }},
        {"Lines.dtr", "DTR", [] { return L10n::Lines::dtr(); }},
        {"Lines.rts", "RTS", [] { return L10n::Lines::rts(); }},
        {"Lines.resetArduino", "Reset Arduino (DTR pulse)", [] { return L10n::Lines::resetArduino(); }},
        {"Lines.resetESP32", "Reset ESP32/ESP8266 (RTS pulse)", [] { return L10n::Lines::resetESP32(); }},
        {"Lines.resetESP32Bootloader", "Start ESP32/ESP8266 in bootloader",
         [] { return L10n::Lines::resetESP32Bootloader(); }},
        {"Lines.dtrChanged(on)", "DTR on", [] { return L10n::Lines::dtrChanged(true); }},
        {"Lines.dtrChanged(off)", "DTR off", [] { return L10n::Lines::dtrChanged(false); }},
        {"Lines.rtsChanged(on)", "RTS on", [] { return L10n::Lines::rtsChanged(true); }},
        {"Lines.rtsChanged(off)", "RTS off", [] { return L10n::Lines::rtsChanged(false); }},
        {"Lines.notConnected", "Connect first to use DTR and RTS", [] { return L10n::Lines::notConnected(); }},
        {"Plotter.title", "Plotter", [] { return L10n::Plotter::title(); }},
        {"Plotter.toggleHelp", "Show numbers from the received data as a graph (⌘⇧L)",
         [] { return L10n::Plotter::toggleHelp(); }},
        {"Plotter.valueName", "Value 7340033", [] { return L10n::Plotter::valueName(7340033); }},
        {"Plotter.points", "Points", [] { return L10n::Plotter::points(); }},
        {"Plotter.options", "Plotter options", [] { return L10n::Plotter::options(); }},
        {"Plotter.optionsHelp", "Statistics, scale, line style and number of points",
         [] { return L10n::Plotter::optionsHelp(); }},
        {"Plotter.statistics", "Min/max/avg", [] { return L10n::Plotter::statistics(); }},
        {"Plotter.statisticsHelp", "Show the minimum, maximum and average of the visible measurements for each line",
         [] { return L10n::Plotter::statisticsHelp(); }},
        {"Plotter.min", "Min", [] { return L10n::Plotter::min(); }},
        {"Plotter.max", "Max", [] { return L10n::Plotter::max(); }},
        {"Plotter.mean", "Avg", [] { return L10n::Plotter::mean(); }},
        {"Plotter.layout", "Layout", [] { return L10n::Plotter::layout(); }},
        {"Plotter.layoutName(shared)", "One chart", [] { return L10n::Plotter::layoutName(PlotLayout::shared); }},
        {"Plotter.layoutName(stacked)", "Stacked", [] { return L10n::Plotter::layoutName(PlotLayout::stacked); }},
        {"Plotter.layoutName(cards)", "Cards", [] { return L10n::Plotter::layoutName(PlotLayout::cards); }},
        {"Plotter.layoutHelp",
         "One chart: all lines on one scale. Stacked: each line with its own Y axis. Cards: an overview "
         "with the current values; click a card to enlarge it.",
         [] { return L10n::Plotter::layoutHelp(); }},
        {"Plotter.cardHelp", "Click to enlarge", [] { return L10n::Plotter::cardHelp(); }},
        {"Plotter.close", "Close (Esc)", [] { return L10n::Plotter::close(); }},
        {"Plotter.previous", "Previous value (←)", [] { return L10n::Plotter::previous(); }},
        {"Plotter.next", "Next value (→)", [] { return L10n::Plotter::next(); }},
        {"Plotter.scaleHint", "Some lines look flat because the ranges differ a lot.",
         [] { return L10n::Plotter::scaleHint(); }},
        {"Plotter.smooth", "Smooth lines", [] { return L10n::Plotter::smooth(); }},
        {"Plotter.smoothHelp",
         "Round the corners between points instead of straight segments. The line still passes through "
         "the measured values and never overshoots them.",
         [] { return L10n::Plotter::smoothHelp(); }},
        {"Plotter.pause", "Pause", [] { return L10n::Plotter::pause(); }},
        {"Plotter.resume", "Resume", [] { return L10n::Plotter::resume(); }},
        {"Plotter.clear", "Clear graph", [] { return L10n::Plotter::clear(); }},
        {"Plotter.waitingTitle", "Waiting for numbers…", [] { return L10n::Plotter::waitingTitle(); }},
        {"Plotter.waitingHelp",
         "Send one line per measurement, for example:\n`Serial.print(temp); Serial.print(\",\"); "
         "Serial.println(hum);`\nor with names: `temp:21.5,hum:40`",
         [] { return L10n::Plotter::waitingHelp(); }},
        {"Plotter.legendHelp", "Click to show or hide this line", [] { return L10n::Plotter::legendHelp(); }},
        {"Plotter.pausedNote", "Paused", [] { return L10n::Plotter::pausedNote(); }},
        {"Settings.frame", "Frame", [] { return L10n::Settings::frame(); }},
        {"Settings.dataBits", "Data bits", [] { return L10n::Settings::dataBits(); }},
        {"Settings.parity", "Parity", [] { return L10n::Settings::parity(); }},
        {"Settings.stopBits", "Stop bits", [] { return L10n::Settings::stopBits(); }},
        {"Settings.flowControl", "Flow control", [] { return L10n::Settings::flowControl(); }},
        {"Settings.customBaud", "Custom baud rate", [] { return L10n::Settings::customBaud(); }},
        {"Settings.customBaudPlaceholder", "e.g. 31250", [] { return L10n::Settings::customBaudPlaceholder(); }},
        {"Settings.apply", "Apply", [] { return L10n::Settings::apply(); }},
        {"Settings.customBaudInvalid", "Enter a number between 7340033 and 7340034.",
         [] { return L10n::Settings::customBaudInvalid(7340033, 7340034); }},
        {"Settings.defaults", "Default (8N1, no flow control)", [] { return L10n::Settings::defaults(); }},
        {"Settings.appliedImmediately", "Changes are applied immediately; the port is reopened.",
         [] { return L10n::Settings::appliedImmediately(); }},
        {"Parity.none", "None", [] { return L10n::Parity::none(); }},
        {"Parity.even", "Even", [] { return L10n::Parity::even(); }},
        {"Parity.odd", "Odd", [] { return L10n::Parity::odd(); }},
        {"FlowControl.none", "None", [] { return L10n::FlowControl::none(); }},
        {"FlowControl.rtsCts", "Hardware (RTS/CTS)", [] { return L10n::FlowControl::rtsCts(); }},
        {"FlowControl.xonXoff", "Software (XON/XOFF)", [] { return L10n::FlowControl::xonXoff(); }},
        {"Menu.newTab", "New Tab", [] { return L10n::Menu::newTab(); }},
        {"Menu.newWindow", "New Window", [] { return L10n::Menu::newWindow(); }},
        {"Menu.saveOutput", "Save Output…", [] { return L10n::Menu::saveOutput(); }},
        {"Menu.serialPort", "Serial Port", [] { return L10n::Menu::serialPort(); }},
        {"Menu.clearOutput", "Clear Output", [] { return L10n::Menu::clearOutput(); }},
        {"Menu.file", "File", [] { return L10n::Menu::file(); }},
        {"Menu.closeTab", "Close Tab", [] { return L10n::Menu::closeTab(); }},
        {"Menu.edit", "Edit", [] { return L10n::Menu::edit(); }},
        {"Menu.copy", "Copy", [] { return L10n::Menu::copy(); }},
        {"Menu.selectAll", "Select All", [] { return L10n::Menu::selectAll(); }},
        {"Menu.find", "Find…", [] { return L10n::Menu::find(); }},
        {"Menu.help", "Help", [] { return L10n::Menu::help(); }},
        {"Menu.quit", "Quit", [] { return L10n::Menu::quit(); }},
        {"Menu.moveTabToNewWindow", "Move Tab to New Window", [] { return L10n::Menu::moveTabToNewWindow(); }},
        {"Find.placeholder", "Find in output", [] { return L10n::Find::placeholder(); }},
        {"Find.next", "Next match", [] { return L10n::Find::next(); }},
        {"Find.previous", "Previous match", [] { return L10n::Find::previous(); }},
        {"Find.close", "Close find bar", [] { return L10n::Find::close(); }},
        {"Find.noMatches", "No matches", [] { return L10n::Find::noMatches(); }},
        {"Status.connected", "Connected to {port} @ {settings}",
         [] { return L10n::Status::connected("{port}", "{settings}"); }},
        {"Status.closed", "Connection closed", [] { return L10n::Status::closed(); }},
        {"Status.connectionLost", "Connection lost.", [] { return L10n::Status::connectionLost(); }},
        {"Status.waitingForDevice", "{reason} Waiting for the device to return…",
         [] { return L10n::Status::waitingForDevice("{reason}"); }},
        {"Status.reconnectFailed", "Reconnect failed: {reason}",
         [] { return L10n::Status::reconnectFailed("{reason}"); }},
        {"Status.droppedBytes", "7340033 bytes skipped: the display could not keep up with the data stream",
         [] { return L10n::Status::droppedBytes(7340033); }},
        {"Errors.invalidPath", "'{path}' is not a valid serial port.",
         [] { return L10n::Errors::invalidPath("{path}"); }},
        {"Errors.openFailed", "Cannot open {path}: {reason}.",
         [] { return L10n::Errors::openFailed("{path}", "{reason}"); }},
        {"Errors.permissionHint", " Check the device permissions.", [] { return L10n::Errors::permissionHint(); }},
        {"Errors.stillConnectedHint", " Is the device still connected?",
         [] { return L10n::Errors::stillConnectedHint(); }},
        {"Errors.busy",
         "{path} is already in use by another program (e.g. the Arduino IDE or screen). Close that "
         "program and try again.",
         [] { return L10n::Errors::busy("{path}"); }},
        {"Errors.configurationFailed", "Configuring {step} failed: {reason}.",
         [] { return L10n::Errors::configurationFailed("{step}", "{reason}"); }},
        {"Errors.whatExclusiveAccess", "exclusive access", [] { return L10n::Errors::whatExclusiveAccess(); }},
        {"Errors.whatReadAttributes", "reading port attributes", [] { return L10n::Errors::whatReadAttributes(); }},
        {"Errors.whatPortSettings", "port settings", [] { return L10n::Errors::whatPortSettings(); }},
        {"Errors.unsupportedBaud", "Baud rate 7340033 is not supported by this device: {reason}.",
         [] { return L10n::Errors::unsupportedBaud(7340033, "{reason}"); }},
        {"Errors.notOpen", "The port is not open.", [] { return L10n::Errors::notOpen(); }},
        {"Errors.readFailed", "Reading from the port failed: {reason}.",
         [] { return L10n::Errors::readFailed("{reason}"); }},
        {"Errors.writeFailed", "Sending failed: {reason}.", [] { return L10n::Errors::writeFailed("{reason}"); }},
        {"Errors.writeTimeout", "Sending timed out. Check the flow control settings.",
         [] { return L10n::Errors::writeTimeout(); }},
        {"Errors.lineControlFailed", "Setting DTR/RTS failed: {reason}.",
         [] { return L10n::Errors::lineControlFailed("{reason}"); }},
        {"Errors.deviceDisconnected", "The device was disconnected.",
         [] { return L10n::Errors::deviceDisconnected(); }},
        {"Errors.alertTitle", "Something went wrong", [] { return L10n::Errors::alertTitle(); }},
        {"Errors.ok", "OK", [] { return L10n::Errors::ok(); }},
        {"Errors.selectPortFirst", "Select a serial port first.", [] { return L10n::Errors::selectPortFirst(); }},
        {"Errors.messageTooLong", "The message is too long (maximum 7340033 bytes).",
         [] { return L10n::Errors::messageTooLong(7340033); }},
        {"Errors.saveFailed", "Saving failed: {reason}", [] { return L10n::Errors::saveFailed("{reason}"); }},
    };
    return keys;
}

// Keys whose text is the same in every language.
const std::set<std::string, std::less<>> sameInAllLanguages{
    "appName",   "number",    "Header.baud", "Display.milliseconds", "Send.hex", "Display.hex",
    "Lines.dtr", "Lines.rts", "Footer.counters", "Errors.ok",
};

constexpr std::string_view noBreakSpace = "\u00A0";

std::string_view keyOf(std::string_view name)
{
    return name.substr(0, name.find('('));
}

std::string textIn(Language language, const std::function<std::string()>& text)
{
    const L10n::ScopedLanguage scope(language);
    return text();
}

std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The placeholder names and distinctive numbers inserted into a text, sorted.
std::vector<std::string> insertedValues(const std::string& text)
{
    static const std::regex value(R"(\{[^{}]*\}|[0-9]{6,})");
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), value); it != std::sregex_iterator(); ++it) {
        values.push_back(it->str());
    }
    std::sort(values.begin(), values.end());
    return values;
}

std::string_view leadingBlanks(std::string_view text)
{
    return text.substr(0, std::min(text.find_first_not_of(" \n"), text.size()));
}

std::string_view trailingBlanks(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(" \n");
    return last == std::string_view::npos ? text : text.substr(last + 1);
}

// Every key the catalogue header declares, as "Group.key" (or "key" at the top level).
std::set<std::string> declaredKeys()
{
    std::ifstream header(VELMORA_L10N_HEADER);
    std::set<std::string> keys;
    const std::regex group(R"(^namespace (\w+) \{)");
    const std::regex groupEnd(R"(^\}  // namespace)");
    const std::regex key(R"(^std::string (\w+)\()");
    std::string currentGroup;
    std::string line;
    std::smatch match;
    while (std::getline(header, line)) {
        if (std::regex_search(line, match, group)) {
            currentGroup = match[1].str();
        } else if (std::regex_search(line, match, groupEnd)) {
            currentGroup.clear();
        } else if (std::regex_search(line, match, key)) {
            keys.insert(currentGroup.empty() ? match[1].str() : currentGroup + "." + match[1].str());
        }
    }
    return keys;
}

}  // namespace

TEST(Catalogue, TheKeyTableCoversEveryDeclaredKeyExactlyOnce)
{
    std::set<std::string> tableKeys;
    std::set<std::string_view> names;
    for (const KeyCase& key : allKeys()) {
        EXPECT_TRUE(names.insert(key.name).second) << "listed twice: " << key.name;
        tableKeys.emplace(keyOf(key.name));
    }
    EXPECT_EQ(tableKeys.size(), L10n::keyCount);

    const std::set<std::string> declared = declaredKeys();
    EXPECT_EQ(declared.size(), L10n::keyCount);
    EXPECT_EQ(tableKeys, declared);

    for (const std::string& same : sameInAllLanguages) {
        EXPECT_EQ(declared.count(same), 1U) << same;
    }
}

TEST(Catalogue, EnglishTextsReadExactlyAsWritten)
{
    for (const KeyCase& key : allKeys()) {
        EXPECT_EQ(textIn(Language::en, key.text), key.english) << key.name;
    }
}

TEST(Catalogue, EveryTextIsPresentAndInsertsTheSameValuesInEveryLanguage)
{
    for (const KeyCase& key : allKeys()) {
        const std::vector<std::string> englishValues = insertedValues(key.english);
        for (const Language language : allLanguages) {
            const std::string text = textIn(language, key.text);
            SCOPED_TRACE(std::string(key.name) + " in " + std::string(rawValue(language)) + ": " + text);
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(insertedValues(text), englishValues);
            EXPECT_EQ(leadingBlanks(text), leadingBlanks(key.english));
            EXPECT_EQ(trailingBlanks(text), trailingBlanks(key.english));
            EXPECT_EQ(occurrences(text, "\n"), occurrences(key.english, "\n"));
            EXPECT_EQ(occurrences(text, "`"), occurrences(key.english, "`"));
        }
    }
}

TEST(Catalogue, OnlyTheSharedTextsAreTheSameAsEnglish)
{
    std::size_t translatedKeys = 0;
    std::array<std::size_t, allLanguages.size()> sameAsEnglish{};
    for (const KeyCase& key : allKeys()) {
        const bool shared = sameInAllLanguages.count(keyOf(key.name)) == 1;
        translatedKeys += shared ? 0 : 1;
        for (const Language language : allLanguages) {
            const std::string text = textIn(language, key.text);
            if (shared) {
                EXPECT_EQ(text, key.english) << key.name << " in " << rawValue(language);
            } else if (text == key.english) {
                ++sameAsEnglish[static_cast<std::size_t>(language)];
            }
        }
    }
    // A few words are the same in English and another language (Tip, Port, Plotter,
    // Hardware); many more would mean texts were copied instead of translated.
    for (const Language language : {Language::nl, Language::de, Language::fr, Language::es}) {
        const double fraction = static_cast<double>(sameAsEnglish[static_cast<std::size_t>(language)]) /
                                static_cast<double>(translatedKeys);
        EXPECT_LT(fraction, 0.1) << rawValue(language);
    }
}

TEST(Catalogue, CasesOfOneKeyReadDifferentlyInEveryLanguage)
{
    const std::vector<std::vector<std::function<std::string()>>> keysWithCases{
        {[] { return L10n::Lines::dtrChanged(true); }, [] { return L10n::Lines::dtrChanged(false); }},
        {[] { return L10n::Lines::rtsChanged(true); }, [] { return L10n::Lines::rtsChanged(false); }},
        {[] { return L10n::Plotter::layoutName(PlotLayout::shared); },
         [] { return L10n::Plotter::layoutName(PlotLayout::stacked); },
         [] { return L10n::Plotter::layoutName(PlotLayout::cards); }},
    };
    for (const Language language : allLanguages) {
        for (const auto& cases : keysWithCases) {
            std::set<std::string> texts;
            for (const auto& text : cases) {
                texts.insert(textIn(language, text));
            }
            EXPECT_EQ(texts.size(), cases.size()) << *texts.begin() << " in " << rawValue(language);
        }
    }
}

TEST(Typography, EllipsisIsOneCharacterAndNoBreakSpacesAreFrenchOnly)
{
    for (const KeyCase& key : allKeys()) {
        for (const Language language : allLanguages) {
            const std::string text = textIn(language, key.text);
            EXPECT_EQ(text.find("..."), std::string::npos) << key.name << " in " << rawValue(language);
            if (language != Language::fr) {
                EXPECT_EQ(text.find(noBreakSpace), std::string::npos) << key.name << " in " << rawValue(language);
            }
        }
    }
}

TEST(Typography, FrenchPutsANoBreakSpaceBeforeHighPunctuationAndInsideGuillemets)
{
    for (const KeyCase& key : allKeys()) {
        const std::string prose = withoutCode(textIn(Language::fr, key.text));
        SCOPED_TRACE(std::string(key.name) + ": " + prose);
        for (std::size_t at = prose.find_first_of(":;?!"); at != std::string::npos;
             at = prose.find_first_of(":;?!", at + 1)) {
            EXPECT_TRUE(std::string_view(prose).substr(0, at).ends_with(noBreakSpace)) << "at " << at;
        }
        for (std::size_t at = prose.find("«"); at != std::string::npos; at = prose.find("«", at + 1)) {
            EXPECT_EQ(prose.compare(at + std::string_view("«").size(), noBreakSpace.size(), noBreakSpace), 0);
        }
        for (std::size_t at = prose.find("»"); at != std::string::npos; at = prose.find("»", at + 1)) {
            EXPECT_TRUE(std::string_view(prose).substr(0, at).ends_with(noBreakSpace)) << "at " << at;
        }
    }
}

TEST(Typography, EachLanguageQuotesInsertedValuesWithItsOwnMarks)
{
    const std::regex quotedInEnglish(R"('(\{[^{}]*\})')");
    std::size_t quotedKeys = 0;
    for (const KeyCase& key : allKeys()) {
        std::smatch match;
        if (!std::regex_search(key.english, match, quotedInEnglish)) {
            continue;
        }
        ++quotedKeys;
        const std::string value = match[1].str();
        EXPECT_NE(textIn(Language::nl, key.text).find("'" + value + "'"), std::string::npos) << key.name;
        EXPECT_NE(textIn(Language::de, key.text).find("„" + value + "“"), std::string::npos) << key.name;
        EXPECT_NE(textIn(Language::fr, key.text).find("«\u00A0" + value + "\u00A0»"), std::string::npos) << key.name;
        EXPECT_NE(textIn(Language::es, key.text).find("«" + value + "»"), std::string::npos) << key.name;
    }
    EXPECT_GE(quotedKeys, 5U);

    for (const KeyCase& key : allKeys()) {
        const std::string en = withoutCode(textIn(Language::en, key.text));
        const std::string nl = withoutCode(textIn(Language::nl, key.text));
        const std::string de = withoutCode(textIn(Language::de, key.text));
        const std::string fr = withoutCode(textIn(Language::fr, key.text));
        const std::string es = withoutCode(textIn(Language::es, key.text));
        for (const std::string_view mark : {"„", "“", "«", "»"}) {
            EXPECT_EQ(en.find(mark), std::string::npos) << key.name;
            EXPECT_EQ(nl.find(mark), std::string::npos) << key.name;
        }
        for (const std::string_view mark : {"«", "»", "'", "\""}) {
            EXPECT_EQ(de.find(mark), std::string::npos) << key.name;
        }
        EXPECT_EQ(occurrences(de, "„"), occurrences(de, "“")) << key.name;
        for (const std::string_view mark : {"„", "“", "\""}) {
            EXPECT_EQ(fr.find(mark), std::string::npos) << key.name;
        }
        EXPECT_EQ(occurrences(fr, "«"), occurrences(fr, "»")) << key.name;
        for (const std::string_view mark : {"„", "“", "'", "\""}) {
            EXPECT_EQ(es.find(mark), std::string::npos) << key.name;
        }
        EXPECT_EQ(occurrences(es, "«"), occurrences(es, "»")) << key.name;
    }
}

TEST(Typography, SpanishQuestionsAndExclamationsOpenWithInvertedMarks)
{
    for (const KeyCase& key : allKeys()) {
        const std::string prose = withoutCode(textIn(Language::es, key.text));
        EXPECT_EQ(occurrences(prose, "¿"), occurrences(prose, "?")) << key.name << ": " << prose;
        EXPECT_EQ(occurrences(prose, "¡"), occurrences(prose, "!")) << key.name << ": " << prose;
    }
}

TEST(InsertedValues, IntegersArePlainDigitsWithoutGroupingInEveryLanguage)
{
    for (const Language language : allLanguages) {
        const L10n::ScopedLanguage scope(language);
        EXPECT_EQ(L10n::Header::baud(2000000), "2000000 baud");
        EXPECT_EQ(L10n::Header::baud(115200), "115200 baud");
        EXPECT_EQ(L10n::Display::milliseconds(1500), "1500 ms");
        EXPECT_EQ(L10n::Footer::counters(1048576, 0), "RX 1048576 B  ·  TX 0 B");
    }
    EXPECT_EQ(L10n::number(-5, " ms"), "-5 ms");
    EXPECT_EQ(L10n::number(0, ""), "0");
    EXPECT_EQ(L10n::number(1000, " B"), "1000 B");
    EXPECT_EQ(L10n::number(std::numeric_limits<std::int64_t>::max(), ""), "9223372036854775807");
    EXPECT_EQ(L10n::number(std::numeric_limits<std::int64_t>::min(), "x"), "-9223372036854775808x");
}

TEST(InsertedValues, StringsAreInsertedUnchangedWithoutEscaping)
{
    const L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(L10n::Notice::connectTo("/dev/cu.usbmodem1101"), "Connect to /dev/cu.usbmodem1101");
    EXPECT_EQ(L10n::Errors::openFailed("/dev/ttyUSB0", "100% {busy} \\n"),
              "Cannot open /dev/ttyUSB0: 100% {busy} \\n.");
    EXPECT_EQ(L10n::Board::usbSerial(""), "USB serial ()");
}

TEST(InsertedValues, WaitingForDeviceFollowsTheReasonAfterOneBlank)
{
    const L10n::ScopedLanguage english(Language::en);
    EXPECT_EQ(L10n::Status::waitingForDevice("Connection lost."), "Connection lost. Waiting for the device to return…");
    EXPECT_EQ(L10n::Status::waitingForDevice(L10n::Status::connectionLost()),
              "Connection lost. Waiting for the device to return…");
}

TEST(InsertedValues, InvalidHexQuotesTheTokenTheWayEachLanguageDoes)
{
    {
        const L10n::ScopedLanguage english(Language::en);
        EXPECT_EQ(L10n::Send::invalidHex("0G"), "'0G' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF.");
    }
    {
        const L10n::ScopedLanguage german(Language::de);
        EXPECT_EQ(L10n::Send::invalidHex("0G"),
                  "„0G“ ist kein gültiger HEX-Wert. Verwende 0–9 und A–F, z. B. 01 0A FF.");
    }
}

TEST(TranslatedRows, EveryCellOfTheReferenceRowsReadsExactlyAsWritten)
{
    struct Row {
        std::string_view name;
        std::function<std::string()> text;
        std::array<std::string_view, allLanguages.size()> texts;
    };
    const std::vector<Row> rows{
        {"Help.windowTitle", [] { return L10n::Help::windowTitle(); },
         {"Velmora Help", "Velmora Help", "Velmora-Hilfe", "Aide Velmora", "Ayuda de Velmora"}},
        {"Input.promptConnected", [] { return L10n::Input::promptConnected("{port}"); },
         {"Message (Enter to send message to '{port}')", "Bericht (Enter om te verzenden naar '{port}')",
          "Nachricht (Enter zum Senden an „{port}“)", "Message (Entrée pour envoyer à «\u00A0{port}\u00A0»)",
          "Mensaje (Intro para enviar a «{port}»)"}},
        {"Send.invalidHex", [] { return L10n::Send::invalidHex("{token}"); },
         {"'{token}' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF.",
          "'{token}' is geen geldige HEX-waarde. Gebruik 0–9 en A–F, bijv. 01 0A FF.",
          "„{token}“ ist kein gültiger HEX-Wert. Verwende 0–9 und A–F, z. B. 01 0A FF.",
          "«\u00A0{token}\u00A0» n'est pas une valeur HEX valide. Utilisez 0–9 et A–F, p. ex. 01 0A FF.",
          "«{token}» no es un valor HEX válido. Usa 0–9 y A–F, p. ej. 01 0A FF."}},
        {"Notice.connectTo", [] { return L10n::Notice::connectTo("{port}"); },
         {"Connect to {port}", "Verbinden met {port}", "Mit {port} verbinden", "Se connecter à {port}",
          "Conectar con {port}"}},
        {"Notice.garbage", [] { return L10n::Notice::garbage(9600); },
         {"Garbled data? The baud rate (9600) is probably wrong. Try:",
          "Onleesbare data? Waarschijnlijk klopt de baudrate (9600) niet. Probeer:",
          "Unlesbare Daten? Wahrscheinlich stimmt die Baudrate (9600) nicht. Versuche:",
          "Données illisibles\u00A0? Le débit (9600) est probablement incorrect. Essayez\u00A0:",
          "¿Datos ilegibles? Probablemente la velocidad (9600) no es correcta. Prueba:"}},
        {"Settings.customBaudInvalid", [] { return L10n::Settings::customBaudInvalid(50, 12000000); },
         {"Enter a number between 50 and 12000000.", "Voer een getal in tussen 50 en 12000000.",
          "Gib eine Zahl zwischen 50 und 12000000 ein.", "Saisissez un nombre entre 50 et 12000000.",
          "Introduce un número entre 50 y 12000000."}},
        {"Errors.messageTooLong", [] { return L10n::Errors::messageTooLong(4096); },
         {"The message is too long (maximum 4096 bytes).", "Het bericht is te lang (maximaal 4096 bytes).",
          "Die Nachricht ist zu lang (maximal 4096 Bytes).", "Le message est trop long (4096 octets maximum).",
          "El mensaje es demasiado largo (máximo 4096 bytes)."}},
        {"Errors.openFailed", [] { return L10n::Errors::openFailed("{path}", "{reason}"); },
         {"Cannot open {path}: {reason}.", "Kan {path} niet openen: {reason}.",
          "{path} kann nicht geöffnet werden: {reason}.", "Impossible d'ouvrir {path}\u00A0: {reason}.",
          "No se puede abrir {path}: {reason}."}},
        {"Errors.unsupportedBaud", [] { return L10n::Errors::unsupportedBaud(250000, "{reason}"); },
         {"Baud rate 250000 is not supported by this device: {reason}.",
          "Baudrate 250000 wordt niet ondersteund door dit apparaat: {reason}.",
          "Baudrate 250000 wird von diesem Gerät nicht unterstützt: {reason}.",
          "Le débit 250000 n'est pas pris en charge par cet appareil\u00A0: {reason}.",
          "Este dispositivo no admite la velocidad 250000: {reason}."}},
        {"Lines.dtrChanged(on)", [] { return L10n::Lines::dtrChanged(true); },
         {"DTR on", "DTR aan", "DTR an", "DTR activé", "DTR activado"}},
        {"Lines.dtrChanged(off)", [] { return L10n::Lines::dtrChanged(false); },
         {"DTR off", "DTR uit", "DTR aus", "DTR désactivé", "DTR desactivado"}},
        {"Plotter.layoutName(shared)", [] { return L10n::Plotter::layoutName(PlotLayout::shared); },
         {"One chart", "Eén grafiek", "Ein Diagramm", "Un graphique", "Un gráfico"}},
        {"Plotter.layoutName(stacked)", [] { return L10n::Plotter::layoutName(PlotLayout::stacked); },
         {"Stacked", "Onder elkaar", "Untereinander", "Empilés", "Apilados"}},
        {"Plotter.layoutName(cards)", [] { return L10n::Plotter::layoutName(PlotLayout::cards); },
         {"Cards", "Kaarten", "Karten", "Cartes", "Tarjetas"}},
    };
    for (const Row& row : rows) {
        for (const Language language : allLanguages) {
            EXPECT_EQ(textIn(language, row.text), row.texts[static_cast<std::size_t>(language)])
                << row.name << " in " << rawValue(language);
        }
    }
}

TEST(ScopedLanguage, NestedScopesRestoreTheLanguageTheyReplaced)
{
    const Language processLanguage = L10n::language();
    {
        const L10n::ScopedLanguage german(Language::de);
        EXPECT_EQ(L10n::language(), Language::de);
        EXPECT_EQ(L10n::State::disconnected(), "Nicht verbunden");
        {
            const L10n::ScopedLanguage french(Language::fr);
            EXPECT_EQ(L10n::language(), Language::fr);
            EXPECT_EQ(L10n::State::disconnected(), "Non connecté");
        }
        EXPECT_EQ(L10n::language(), Language::de);
        EXPECT_EQ(L10n::State::disconnected(), "Nicht verbunden");
    }
    EXPECT_EQ(L10n::language(), processLanguage);
}

TEST(ScopedLanguage, OtherThreadsKeepTheProcessLanguage)
{
    const Language processLanguage = L10n::language();
    const std::string processText = L10n::State::disconnected();
    const Language other = processLanguage == Language::es ? Language::nl : Language::es;

    const L10n::ScopedLanguage scope(other);
    ASSERT_NE(L10n::State::disconnected(), processText);

    Language seenLanguage = other;
    std::string seenText;
    std::thread reader([&] {
        seenLanguage = L10n::language();
        seenText = L10n::State::disconnected();
    });
    reader.join();
    EXPECT_EQ(seenLanguage, processLanguage);
    EXPECT_EQ(seenText, processText);
}

TEST(ProcessLanguage, LaterPreferredLanguagesDoNotChangeAnAlreadyChosenLanguage)
{
    const Language chosen = L10n::language();
    const std::string text = L10n::State::disconnected();
    L10n::usePreferredLanguages({chosen == Language::fr ? "de-DE" : "fr-FR"});
    EXPECT_EQ(L10n::language(), chosen);
    EXPECT_EQ(L10n::State::disconnected(), text);
}

// The language is chosen once per process, so these run in a fresh process each: the
// threadsafe style starts the test binary anew for the statement under test.
class ProcessLanguageDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    static int exitCodeFor(Language language) { return 10 + static_cast<int>(language); }
};

TEST_F(ProcessLanguageDeathTest, ApplicationListGivenBeforeFirstUseDecidesTheLanguage)
{
    EXPECT_EXIT(
        {
            setenv("LANGUAGE", "nl", 1);
            L10n::usePreferredLanguages({"it-IT", "fr-CA", "de"});
            const bool textsFollow = L10n::State::disconnected() == "Non connecté";
            std::exit(textsFollow ? exitCodeFor(L10n::language()) : 1);
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::fr)), "");
}

TEST_F(ProcessLanguageDeathTest, EnvironmentDecidesWhenTheApplicationGivesNoList)
{
    EXPECT_EXIT(
        {
            setenv("LANGUAGE", "pt_BR:es", 1);
            unsetenv("LC_ALL");
            unsetenv("LC_MESSAGES");
            setenv("LANG", "de_DE.UTF-8", 1);
            std::exit(exitCodeFor(L10n::language()));
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::es)), "");
}

TEST_F(ProcessLanguageDeathTest, FirstReadOfATextFixesTheLanguageForTheRestOfTheProcess)
{
    EXPECT_EXIT(
        {
            unsetenv("LANGUAGE");
            unsetenv("LC_MESSAGES");
            setenv("LC_ALL", "nl_NL.UTF-8", 1);
            const std::string first = L10n::Header::port();
            setenv("LC_ALL", "de_DE.UTF-8", 1);
            L10n::usePreferredLanguages({"fr"});
            const bool unchanged = L10n::Header::port() == first && first == "Poort";
            std::exit(unchanged ? exitCodeFor(L10n::language()) : 1);
        },
        ::testing::ExitedWithCode(exitCodeFor(Language::nl)), "");
}
