#include "tools/screenshots/ScreenshotOptions.h"

#include "localization/Language.h"

namespace velmora::tools {

std::optional<ScreenshotOptions> ScreenshotOptions::parse(const std::vector<std::string>& arguments, std::string& error)
{
    const auto fail = [&error](std::string message) {
        error = std::move(message);
        return std::nullopt;
    };
    ScreenshotOptions options;
    bool outputGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // "--out DIR" and "--out=DIR" alike.
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        const bool takesValue = name == "--out" || name == "--scene" || name == "--lang" || name == "--help-images";
        if (takesValue && !value) {
            if (i + 1 == arguments.size())
                return fail(name + " needs a value");
            value = arguments[++i];
        } else if (!takesValue && value) {
            return fail(name + " takes no value");
        }

        if (name == "--out") {
            if (value->empty())
                return fail("--out needs a folder");
            options.outputFolder = *value;
            outputGiven = true;
        } else if (name == "--help-images") {
            if (value->empty())
                return fail("--help-images needs a folder");
            options.helpImagesFolder = *value;
        } else if (name == "--scene") {
            options.scenes.push_back(*value);
        } else if (name == "--lang") {
            if (!languageFromRaw(*value))
                return fail("unknown language \"" + *value + "\" (en, nl, de, fr or es)");
            options.language = *value;
        } else if (name == "--list") {
            options.listScenes = true;
        } else if (name == "--texts") {
            options.printTexts = true;
        } else if (name == "--help" || name == "-h") {
            options.showHelp = true;
        } else {
            return fail("unknown option " + argument);
        }
    }
    if (outputGiven && !options.helpImagesFolder.empty())
        return fail("--out and --help-images exclude each other");
    return options;
}

std::string ScreenshotOptions::usage(const std::string& program)
{
    return "Usage: " + program +
        " [--out DIR | --help-images DIR] [--scene NAME]... [--lang CODE] [--list] [--texts]\n"
        "Runs the application's windows against a fake Arduino Uno and writes one PNG per scene.\n"
        "  --out DIR      folder for the PNG files (default: screenshots)\n"
        "  --help-images DIR\n"
        "                 take the pictures the help shows instead, as DIR/NAME-CODE.png\n"
        "  --scene NAME   a scene to take; repeatable (default: all, see --list)\n"
        "  --lang CODE    interface language: en, nl, de, fr or es (default: en)\n"
        "  --list         print the scene names (with --help-images, the pictures') and stop\n"
        "  --texts        print the texts each scene's window shows\n"
        "Needs a display (run it under xvfb-run) and umockdev's preload library, which it loads\n"
        "by restarting itself when it was started without.\n";
}

} // namespace velmora::tools
