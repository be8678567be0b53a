#include "tools/screenshots/SceneSteps.h"

#include "app/monitor/ContentView.h"
#include "app/plot/PlotterView.h"
#include "tools/screenshots/FakeUno.h"
#include "tools/screenshots/SceneRunner.h"

#include <QSplitter>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace velmora::tools {
namespace {

const std::string unoPath(FakeUno::devicePath);

std::size_t totalSize(const std::vector<std::string>& chunks)
{
    std::size_t size = 0;
    for (const auto& chunk : chunks)
        size += chunk.size();
    return size;
}

// A fixed generator, so that every run draws the same lines.
class Noise {
public:
    // Evenly in [-1, 1].
    double next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_ = 2341;
};

// With a point whatever the locale, as a sketch prints it; snprintf would follow LC_NUMERIC.
std::string fixed(double value, int decimals)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

} // namespace

std::vector<std::string> sketchOutput(int readings)
{
    std::vector<std::string> lines{
        "Weather station v1.2\r\n", "DHT22 on pin 2: ready\r\n", "Sampling every 500 ms\r\n"};
    for (int i = 0; i < readings; ++i) {
        const double temperature = 21.5 + 0.1 * ((i * 7) % 9) - 0.3;
        const int humidity = 40 + (i * 5) % 3;
        lines.push_back("temp:" + fixed(temperature, 1) + ",hum:" + std::to_string(humidity) + "\r\n");
        if (i % 8 == 7)
            lines.push_back("Saved reading " + std::to_string(i + 1) + " to SD card\r\n");
    }
    return lines;
}

// Each received byte spans several sent ones, so most come out as high bytes and control
// characters, with an occasional printable one.
std::vector<std::string> wrongRateNoise(int chunks)
{
    constexpr unsigned char pattern[] = {0x00, 0x80, 0xF8, 0xFE, 0xE0, 0x78, 0x1E, 0xFC, 0x06, 0x98, 0x66, 0xF0, 0x8C,
        0x18, 'x', 'f', 0x9E, 0x03, 0xC0, 0x7E};
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

std::vector<std::string> weatherReadings(int lines, int linesPerChunk)
{
    constexpr double turn = 2 * std::numbers::pi;
    Noise noise;
    std::vector<std::string> chunks;
    std::string chunk;
    for (int i = 0; i < lines; ++i) {
        const double t = i;
        // A warming afternoon with a passing cloud; humidity falls as it warms; a slow front.
        const double temperature =
            21.5 + 1.4 * std::sin(turn * t / 260) + 0.35 * std::sin(turn * t / 55 + 0.7) + 0.06 * noise.next();
        const double humidity =
            40 - 5 * std::sin(turn * t / 260 + 0.3) + 1.2 * std::sin(turn * t / 80) + 0.3 * noise.next();
        const double pressure = 1013 + 1.6 * std::sin(turn * t / 400 + 2.2) + 0.08 * noise.next();
        chunk +=
            "temp:" + fixed(temperature, 2) + ",hum:" + fixed(humidity, 1) + ",pressure:" + fixed(pressure, 1) + "\r\n";
        if ((i + 1) % linesPerChunk == 0 || i + 1 == lines)
            chunks.push_back(std::exchange(chunk, {}));
    }
    return chunks;
}

void waitForTheUno(SceneRunner& runner)
{
    runner.expect(runner.waitUntil([&] { return runner.session().line().selectedPath.value() == unoPath; }),
        "the new tab selects the Arduino Uno at " + unoPath);
}

void connectAt(SceneRunner& runner, std::int64_t rate, DisplayMode mode)
{
    waitForTheUno(runner);
    runner.session().line().baudRate.set(rate);
    runner.session().display().displayMode.set(mode);
    runner.session().connect();
    runner.expect(
        runner.waitUntil([&] { return runner.session().connection().state.value() == ConnectionState::connected; }),
        "the session connects to " + unoPath);
}

void receive(SceneRunner& runner, const std::vector<std::string>& chunks, std::chrono::milliseconds interval)
{
    const auto before = runner.session().reception().rxBytes.value();
    runner.sendOverTime(chunks, interval);
    const auto expected = before + static_cast<std::int64_t>(totalSize(chunks));
    runner.expect(runner.waitUntil([&] { return runner.session().reception().rxBytes.value() == expected; }),
        "the session receives all " + std::to_string(expected - before) + " bytes the board sent");
}

void showPlotter(SceneRunner& runner, double share)
{
    runner.session().display().showPlotter.set(true);
    PlotterView* plotter = runner.view().plotterArea();
    runner.expect(runner.waitUntil([&] { return plotter->isVisible(); }), "the plotter is shown");
    // The split is the view's own; the one whose first part is the plotter.
    QSplitter* split = nullptr;
    for (auto* candidate : runner.view().findChildren<QSplitter*>()) {
        if (candidate->widget(0) == plotter)
            split = candidate;
    }
    runner.expect(split != nullptr, "the plotter sits in a split above the output");
    if (!split)
        return;
    const int total = split->height() - split->handleWidth();
    const int plotterHeight = static_cast<int>(std::lround(total * share));
    split->setSizes({plotterHeight, total - plotterHeight});
    runner.settle(std::chrono::milliseconds(50));
    runner.expect(std::abs(plotter->height() - plotterHeight) <= 2,
        "the plotter is " + std::to_string(plotterHeight) + " px high (it is " + std::to_string(plotter->height()) +
            ")");
}

} // namespace velmora::tools
