#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora::tools {

class SceneRunner;

// One screenshot: a name that becomes the file name, and the steps that bring the window into
// the state to show. The runner gives each scene a fresh window and settings of its own.
struct Scene {
    std::string name;
    std::string description;
    std::function<void(SceneRunner&)> play;
    // The window's size; 0 for the runner's.
    int width = 0;
    int height = 0;
};

// The monitor window: connected, a conversation with the board, a hex dump, empty, garbled
// data, the find bar.
std::vector<Scene> monitorScenes();
// The plotter fed by the board: shared chart, stacked charts, cards, a card's detail.
std::vector<Scene> plotterScenes();
// The help window: the first topic, and a search.
std::vector<Scene> helpWindowScenes();
// The pictures the help topics show, named as the help looks them up ("overview", …); each is
// one of the scenes above under another name.
std::vector<Scene> helpImageScenes();

} // namespace velmora::tools
