#pragma once

#include "core/session/VelmoraModel.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::tools {

class SceneRunner;

// Steps and data the scenes share. Each step records what it could not reach with
// SceneRunner::expect().

// What a weather-station sketch prints: a greeting, then a reading per line with a status line
// now and then.
std::vector<std::string> sketchOutput(int readings);
// What a board sending at 115200 baud looks like to a port set to 9600. The same bytes every run.
std::vector<std::string> wrongRateNoise(int chunks);
// Lines for the plotter, "temp:21.5,hum:40.2,pressure:1013.1": slow waves with a little noise,
// the same every run, linesPerChunk lines to a chunk.
std::vector<std::string> weatherReadings(int lines, int linesPerChunk);

// A new tab picks the only USB board by itself.
void waitForTheUno(SceneRunner& runner);
// Connects the new tab to the Uno at the rate, in the display mode.
void connectAt(SceneRunner& runner, std::int64_t rate, DisplayMode mode = DisplayMode::text);
// The board sends the chunks, one per interval, and the session takes in every byte of them.
void receive(SceneRunner& runner, const std::vector<std::string>& chunks, std::chrono::milliseconds interval);
// Switches the plotter on and gives it this share of the split above the output.
void showPlotter(SceneRunner& runner, double share);

} // namespace velmora::tools
