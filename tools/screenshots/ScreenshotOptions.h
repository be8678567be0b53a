#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora::tools {

// What the command line asks for. Parsing knows nothing of the scenes; the caller checks the
// names against its own list.
struct ScreenshotOptions {
    std::string outputFolder = "screenshots";
    // Set: take the help's pictures instead of the scenes, as {name}-{language}.png in this folder.
    std::string helpImagesFolder;
    // Empty: every scene.
    std::vector<std::string> scenes;
    // A catalogue language code ("de"); English when not given, so that a run does not depend on
    // the machine's locale.
    std::string language = "en";
    bool listScenes = false;
    // Print the texts each scene's window shows, for checking a translation.
    bool printTexts = false;
    bool showHelp = false;

    static constexpr int width = 1100;
    static constexpr int height = 700;
    // The help shows its pictures at most about 700 px wide: a smaller window keeps the text
    // readable there, and the files small enough to build into the program.
    static constexpr int helpImageWidth = 1000;
    static constexpr int helpImageHeight = 640;
    static constexpr int helpImageOutputWidth = 900;

    // The options, or nothing and a message for the user in error.
    static std::optional<ScreenshotOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage(const std::string& program);
};

} // namespace velmora::tools
