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
};

// The monitor window: connected, empty, garbled data, the find bar.
std::vector<Scene> monitorScenes();

} // namespace velmora::tools
