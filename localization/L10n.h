#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "localization/HelpTopic.h"
#include "localization/Language.h"
#include "localization/PlotLayout.h"

// Every text the user sees, in all five interface languages. A constant text is a function
// without parameters; a text with values is a function of them. Strings are inserted
// unchanged, integers as plain decimal digits without grouping. The texts themselves are the
// rows of Catalogue.inc.
namespace velmora::L10n {

// The language the catalogue speaks in this process: chosen on first use from the
// preferred languages (see usePreferredLanguages) and fixed from then on. A
// ScopedLanguage alive on the calling thread takes precedence.
Language language();

// Replaces the operating system's list of preferred languages as read from the
// environment (the Qt application passes QLocale::uiLanguages()). Only a call made
// before the first read of any text or of language() has an effect.
void usePreferredLanguages(std::vector<std::string> preferred);

// While alive, texts read on the constructing thread are in the given language; for
// tests and screenshot tools. Scopes nest; destroy them in reverse order on that thread.
class ScopedLanguage {
public:
    explicit ScopedLanguage(Language language);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    std::optional<Language> previous_;
};

std::string appName();
std::string number(std::int64_t n, std::string_view suffix);

namespace Help {
std::string windowTitle();
std::string searchPrompt();
std::string noResults();
std::string tipLabel();
// The built-in help topics in their fixed order, in the current language.
std::vector<HelpTopic> topics();
} // namespace Help

namespace Header {
std::string port();
std::string baudRate();
std::string noPortsFound();
std::string choosePort();
std::string portNotConnected(std::string_view port);
std::string baud(std::int64_t rate);
std::string portInUseInOtherTab(std::string_view port);
std::string frameSettingsHelp();
std::string connect();
std::string disconnect();
std::string connectHelp();
std::string disconnectHelp();
} // namespace Header

namespace State {
std::string connected();
std::string waiting();
std::string disconnected();
} // namespace State

namespace Input {
std::string promptConnected(std::string_view port);
std::string promptWaiting();
std::string promptDisconnected();
std::string send();
std::string lineEnding();
std::string noLineEndingShort();
std::string lineEndingChipHelp(std::string_view ending);
} // namespace Input

namespace Send {
std::string mode();
std::string text();
std::string hex();
std::string promptHex(std::string_view port);
std::string invalidHex(std::string_view token);
std::string oddLength(std::string_view token);
std::string lineEndingNotInHex();
std::string menuSendAsHex();
} // namespace Send

namespace LineEnding {
std::string none();
std::string lf();
std::string cr();
std::string crlf();
} // namespace LineEnding

namespace Footer {
std::string autoscroll();
std::string timestamp();
std::string echo();
std::string echoHelp();
std::string counters(std::int64_t rx, std::int64_t tx);
std::string save();
std::string saveHelp();
std::string clear();
std::string clearHelp();
std::string outputAccessibility();
} // namespace Footer

namespace Display {
std::string mode();
std::string modeHelp();
std::string text();
std::string hex();
std::string hexDump();
std::string decimal();
std::string binary();
std::string asciiEscaped();
std::string options();
std::string output();
std::string byteModes();
std::string optionsHelp();
std::string bytesPerLine();
std::string breakOnLF();
std::string packetGap();
std::string off();
std::string milliseconds(std::int64_t n);
std::string textModeNote();
std::string packetGapNote();
} // namespace Display

namespace Notice {
std::string emptyTitle();
std::string emptySteps();
std::string emptyNoDevice();
std::string emptyNoDeviceSteps();
std::string connectTo(std::string_view port);
std::string noData(std::int64_t baud);
std::string garbage(std::int64_t baud);
std::string dismiss();
std::string backToText();
std::string backToTextHelp();
} // namespace Notice

namespace Board {
std::string usbSerial(std::string_view chip);
} // namespace Board

namespace Lines {
std::string menuHelp();
std::string dtr();
std::string rts();
std::string resetArduino();
std::string resetESP32();
std::string resetESP32Bootloader();
std::string dtrChanged(bool on);
std::string rtsChanged(bool on);
std::string notConnected();
} // namespace Lines

namespace Plotter {
std::string title();
std::string toggleHelp();
std::string valueName(std::int64_t n);
std::string points();
std::string options();
std::string optionsHelp();
std::string statistics();
std::string statisticsHelp();
std::string min();
std::string max();
std::string mean();
std::string layout();
std::string layoutName(PlotLayout layout);
std::string layoutHelp();
std::string cardHelp();
std::string close();
std::string previous();
std::string next();
std::string scaleHint();
std::string smooth();
std::string smoothHelp();
std::string pause();
std::string resume();
std::string clear();
std::string waitingTitle();
std::string waitingHelp();
std::string legendHelp();
std::string pausedNote();
} // namespace Plotter

namespace Settings {
std::string frame();
std::string dataBits();
std::string parity();
std::string stopBits();
std::string flowControl();
std::string customBaud();
std::string customBaudPlaceholder();
std::string apply();
std::string customBaudInvalid(std::int64_t min, std::int64_t max);
std::string defaults();
std::string appliedImmediately();
} // namespace Settings

namespace Parity {
std::string none();
std::string even();
std::string odd();
} // namespace Parity

namespace FlowControl {
std::string none();
std::string rtsCts();
std::string xonXoff();
} // namespace FlowControl

namespace Menu {
std::string newTab();
std::string newWindow();
std::string saveOutput();
std::string serialPort();
std::string clearOutput();
// The desktop's own menus, which the Mac provides by itself.
std::string file();
std::string closeTab();
std::string edit();
std::string copy();
std::string selectAll();
std::string find();
std::string help();
std::string quit();
std::string moveTabToNewWindow();
} // namespace Menu
// The find bar over the output, which the Mac provides by itself.
namespace Find {
std::string placeholder();
std::string next();
std::string previous();
std::string close();
std::string noMatches();
} // namespace Find

namespace Status {
std::string connected(std::string_view path, std::string_view settings);
std::string closed();
std::string connectionLost();
std::string waitingForDevice(std::string_view reason);
std::string reconnectFailed(std::string_view reason);
std::string droppedBytes(std::int64_t n);
} // namespace Status

namespace Errors {
std::string invalidPath(std::string_view path);
std::string openFailed(std::string_view path, std::string_view reason);
std::string permissionHint();
std::string stillConnectedHint();
std::string busy(std::string_view path);
std::string configurationFailed(std::string_view step, std::string_view reason);
std::string whatExclusiveAccess();
std::string whatReadAttributes();
std::string whatPortSettings();
std::string unsupportedBaud(std::int64_t rate, std::string_view reason);
std::string notOpen();
std::string readFailed(std::string_view reason);
std::string writeFailed(std::string_view reason);
std::string writeTimeout();
std::string lineControlFailed(std::string_view reason);
std::string deviceDisconnected();
std::string alertTitle();
std::string ok();
std::string selectPortFirst();
std::string messageTooLong(std::int64_t max);
std::string saveFailed(std::string_view reason);
} // namespace Errors

} // namespace velmora::L10n
