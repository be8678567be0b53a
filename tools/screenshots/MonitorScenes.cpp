#include "app/monitor/ContentView.h"
#include "app/monitor/EmptyOutputView.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/NoticeBanner.h"
#include "tools/screenshots/Scene.h"
#include "tools/screenshots/SceneRunner.h"
#include "tools/screenshots/SceneSteps.h"

#include <QPushButton>

#include <utility>

using namespace std::chrono_literals;

namespace velmora::tools {
namespace {

void connected(SceneRunner& runner)
{
    connectAt(runner, 115200);
    receive(runner, sketchOutput(24), 60ms);
}

// Commands typed and sent, each answered by the board, with timestamps and the sent lines shown.
void conversation(SceneRunner& runner)
{
    auto& session = runner.session();
    session.display().showTimestamps.set(true);
    session.display().echoSent.set(true);
    connectAt(runner, 115200);
    receive(runner, {"Weather station v1.2\r\n", "DHT22 on pin 2: ready\r\n", "Type help for commands\r\n"}, 80ms);
    runner.takeReceived();
    const std::vector<std::pair<std::string, std::vector<std::string>>> dialogue{
        {"status", {"Uptime 00:12:41, 1523 readings\r\n", "SD card: OK, 3.2 MB free\r\n"}},
        {"read", {"temp:21.6,hum:41\r\n"}},
        {"interval 1000", {"Sampling every 1000 ms\r\n"}},
        {"read", {"temp:21.7,hum:41\r\n"}},
        {"led on", {"LED on\r\n"}},
    };
    for (const auto& [command, replies] : dialogue) {
        session.composer().inputText.set(command);
        session.send();
        std::string sent;
        runner.expect(runner.waitUntil([&] {
            sent += runner.takeReceived();
            return sent.find(command) != std::string::npos;
        }),
            "the board receives \"" + command + "\"");
        receive(runner, replies, 150ms);
    }
    runner.expect(session.composer().inputText.value().empty(), "the input field is empty after sending");
}

void hexDump(SceneRunner& runner)
{
    connectAt(runner, 115200, DisplayMode::hexDump);
    receive(runner, sketchOutput(7), 60ms);
    runner.expect(
        runner.session().display().displayMode.value() == DisplayMode::hexDump, "the output shows a hex dump");
}

void empty(SceneRunner& runner)
{
    waitForTheUno(runner);
    runner.settle(200ms);
    runner.expect(
        runner.session().connection().state.value() == ConnectionState::disconnected, "the tab is disconnected");
    runner.expect(runner.shows<EmptyOutputView>(), "the empty-state panel is shown");
    const auto panels = runner.window().findChildren<EmptyOutputView*>();
    runner.expect(!panels.isEmpty() && panels.front()->connectButton()->isVisible(),
        "the empty-state panel shows its connect button");
}

void garbled(SceneRunner& runner)
{
    connectAt(runner, 9600);
    receive(runner, wrongRateNoise(12), 80ms);
    runner.expect(runner.session().reception().garbageSuspected.value(), "the session suspects a wrong baud rate");
    runner.expect(runner.shows<NoticeBanner>(), "the garbled-data banner is shown");
}

void find(SceneRunner& runner)
{
    connectAt(runner, 115200);
    receive(runner, sketchOutput(30), 20ms);
    auto& findBar = runner.view().findBar();
    runner.view().openFind();
    findBar.setText(QStringLiteral("hum:41"));
    runner.settle(100ms);
    runner.expect(findBar.isVisible(), "the find bar is open");
    runner.expect(findBar.status().isEmpty(), "the search term is found");
}

} // namespace

std::vector<Scene> monitorScenes()
{
    return {
        {"monitor-connected", "connected, the board printing readings and status lines", connected},
        {"monitor-conversation", "commands sent and the board's replies, with timestamps", conversation},
        {"monitor-hex-dump", "connected, the output shown as a hex dump", hexDump},
        {"monitor-empty", "a new tab, disconnected, the Uno selected: the empty-state panel", empty},
        {"monitor-garbled", "connected at the wrong baud rate: the garbled-data banner", garbled},
        {"monitor-find", "output with the find bar open on a matching term", find},
    };
}

} // namespace velmora::tools
