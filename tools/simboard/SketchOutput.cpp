#include "tools/simboard/SketchOutput.h"

#include "tools/simboard/WrongBaudRate.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <numbers>

namespace velmora::simboard {
namespace {

void appendFixed(std::string& text, double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text.append(buffer, result.ptr);
}

template <typename Integer> void appendInteger(std::string& text, Integer value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

template <typename Integer> std::optional<Integer> integerAfter(std::string_view text, std::string_view label)
{
    const auto at = text.find(label);
    if (at == std::string_view::npos)
        return std::nullopt;
    const char* begin = text.data() + at + label.size();
    Integer value{};
    const auto result = std::from_chars(begin, text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr == begin)
        return std::nullopt;
    return value;
}

double wave(double seconds, double period, double phase = 0)
{
    return std::sin(2 * std::numbers::pi * seconds / period + phase);
}

} // namespace

std::int64_t steadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

SketchOutput::SketchOutput(int numbersPerLine, std::uint32_t seed)
    : numbersPerLine_(std::clamp(numbersPerLine, 1, 16)), random_(seed)
{
}

double SketchOutput::noise(double amplitude)
{
    return std::uniform_real_distribution<double>(-amplitude, amplitude)(random_);
}

std::string SketchOutput::start(Behaviour behaviour) const
{
    return behaviour == Behaviour::csv ? "time_s,temp,hum\n" : std::string();
}

std::string SketchOutput::sensorLine(double seconds)
{
    std::string text = "temp:";
    appendFixed(text, 21.5 + 2.0 * wave(seconds, 40) + noise(0.05), 1);
    text += ",hum:";
    appendFixed(text, 40 + 5.0 * wave(seconds, 63, 1) + noise(0.2), 1);
    text += ",pressure:";
    appendFixed(text, 1013 + 3.0 * wave(seconds, 97, 2) + noise(0.1), 1);
    return text + "\n";
}

std::string SketchOutput::line(Behaviour behaviour, double seconds)
{
    switch (behaviour) {
    case Behaviour::sensor:
        return sensorLine(seconds);
    case Behaviour::csv: {
        std::string text;
        appendFixed(text, seconds, 2);
        text += ",";
        appendFixed(text, 21.5 + 2.0 * wave(seconds, 40) + noise(0.05), 2);
        text += ",";
        appendFixed(text, 40 + 5.0 * wave(seconds, 63, 1) + noise(0.2), 1);
        return text + "\n";
    }
    case Behaviour::numbers: {
        // analogRead() values: each channel its own wave around mid-scale.
        std::string text;
        for (int channel = 0; channel < numbersPerLine_; ++channel) {
            if (channel > 0)
                text += " ";
            const double value = 512 + 400 * wave(seconds, 5.0 + 3.0 * channel, channel) + noise(4);
            appendInteger(text, static_cast<int>(std::lround(std::clamp(value, 0.0, 1023.0))));
        }
        return text + "\n";
    }
    case Behaviour::noise:
        return wrongBaudRate(sensorLine(seconds), noiseSentBaud, noiseReadBaud);
    case Behaviour::quiet:
    case Behaviour::flood:
        return {};
    }
    return {};
}

std::string SketchOutput::floodLine()
{
    std::string text = "flood:";
    appendInteger(text, floodCounter_++);
    text += ",t:";
    appendInteger(text, steadyMicros());
    return text + "\n";
}

std::optional<FloodLine> SketchOutput::parseFloodLine(std::string_view text)
{
    if (!text.starts_with("flood:"))
        return std::nullopt;
    const auto counter = integerAfter<std::uint64_t>(text, "flood:");
    const auto sent = integerAfter<std::int64_t>(text, ",t:");
    if (!counter || !sent)
        return std::nullopt;
    return FloodLine{*counter, *sent};
}

} // namespace velmora::simboard
