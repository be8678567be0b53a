#include "app/monitor/ContentView.h"
#include "app/monitor/EmptyOutputView.h"
#include "app/monitor/FindBar.h"
#include "app/monitor/NoticeBanner.h"
#include "tools/screenshots/FakeUno.h"
#include "tools/screenshots/Scene.h"
#include "tools/screenshots/SceneRunner.h"

#include <QPushButton>

#include <cstdint>
#include <cstdio>

using namespace std::chrono_literals;

namespace velmora::tools {
namespace {

const std::string unoPath(FakeUno::devicePath);

// What a weather-station sketch prints: a greeting, then a reading per line with a status line
// now and then.
std::vector<std::string> sketchOutput(int readings)
{
    std::vector<std::string> lines{"Weather station v1.2\r\n", "DHT22 on pin 2: ready\r\n",
        "Sampling every 500 ms\r\n"};
    for (int i = 0; i < readings; ++i) {
        char line[64];
        const double temperature = 21.5 + 0.1 * ((i * 7) % 9) - 0.3;
        const int humidity = 40 + (i * 5) % 3;
        std::snprintf(line, sizeof line, "temp:%.1f,hum:%d\r\n", temperature, humidity);
        lines.emplace_back(line);
        if (i % 8 == 7)
            lines.push_back("Saved reading " + std::to_string(i + 1) + " to SD card\r\n");
    }
    return lines;
}

// What a board sending at 115200 baud looks like to a port set to 9600: each received byte
// spans several sent ones, so most come out as high bytes and control characters, with an
// occasional printable one. A fixed generator, so that every run shows the same bytes.
std::vector<std::string> wrongRateNoise(int chunks)
{
    constexpr unsigned char pattern[] = {0x00, 0x80, 0xF8, 0xFE, 0xE0, 0x78, 0x1E, 0xFC, 0x06, 0x98, 0x66, 0xF0,
        0x8C, 0x18, 'x', 'f', 0x9E, 0x03, 0xC0, 0x7E};
    std::uint32_t state = 2341;
    std::vector<std::string> noise;
    for (int c = 0; c < chunks; ++c) {
        std::string chunk;
        for (int i = 0; i < 40; ++i) {
            state = state * 1664525u + 1013904223u;
            chunk.push_back(static_cast<char>(pattern[(state >> 16) % sizeof pattern]));
        }
        chunk.push_back('\n');
        noise.push_back(std::move(chunk));
    }
    return noise;
}

std::size_t totalSize(const std::vector<std::string>& chunks)
{
    std::size_t size = 0;
    for (const auto& chunk : chunks)
        size += chunk.size();
    return size;
}

// A new tab picks the only USB board by itself.
void waitForTheUno(SceneRunner& runner)
{
    runner.expect(runner.waitUntil([&] { return runner.session().selectedPath().value() == unoPath; }),
        "the new tab selects the Arduino Uno at " + unoPath);
}

void connectAt(SceneRunner& runner, std::int64_t rate)
{
    waitForTheUno(runner);
    runner.session().setBaudRate(rate);
    runner.session().setDisplayMode(DisplayMode::text);
    runner.session().connect();
    runner.expect(runner.waitUntil([&] { return runner.session().state().value() == ConnectionState::connected; }),
        "the session connects to " + unoPath);
}

void receive(SceneRunner& runner, const std::vector<std::string>& chunks, std::chrono::milliseconds interval)
{
    const auto before = runner.session().rxBytes().value();
    runner.sendOverTime(chunks, interval);
    const auto expected = before + static_cast<std::int64_t>(totalSize(chunks));
    runner.expect(runner.waitUntil([&] { return runner.session().rxBytes().value() == expected; }),
        "the session receives all " + std::to_string(expected - before) + " bytes the board sent");
}

void connected(SceneRunner& runner)
{
    connectAt(runner, 115200);
    receive(runner, sketchOutput(24), 60ms);
}

void empty(SceneRunner& runner)
{
    waitForTheUno(runner);
    runner.settle(200ms);
    runner.expect(runner.session().state().value() == ConnectionState::disconnected, "the tab is disconnected");
    runner.expect(runner.shows<EmptyOutputView>(), "the empty-state panel is shown");
    const auto panels = runner.window().findChildren<EmptyOutputView*>();
    runner.expect(!panels.isEmpty() && panels.front()->connectButton()->isVisible(),
        "the empty-state panel shows its connect button");
}

void garbled(SceneRunner& runner)
{
    connectAt(runner, 9600);
    receive(runner, wrongRateNoise(12), 80ms);
    runner.expect(runner.session().garbageSuspected().value(), "the session suspects a wrong baud rate");
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
        {"monitor-empty", "a new tab, disconnected, the Uno selected: the empty-state panel", empty},
        {"monitor-garbled", "connected at the wrong baud rate: the garbled-data banner", garbled},
        {"monitor-find", "output with the find bar open on a matching term", find},
    };
}

} // namespace velmora::tools
