// Writes screenshots of the real application's windows, driven against a fake Arduino Uno.
#include "app/platform/PortMonitor.h"
#include "app/platform/QtAlertSound.h"
#include "app/platform/QtMainQueue.h"
#include "core/session/PortRegistry.h"
#include "localization/L10n.h"
#include "tools/screenshots/FakeUno.h"
#include "tools/screenshots/SceneRunner.h"
#include "tools/screenshots/ScreenshotOptions.h"
#include "tools/simboard/UmockdevPreload.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <map>
#include <string_view>

using namespace velmora;
using namespace velmora::tools;

namespace {

// The locale of the country each catalogue language is mostly read in.
std::string localeFor(const std::string& language)
{
    static const std::map<std::string, std::string> locales{
        {"en", "en_US"}, {"nl", "nl_NL"}, {"de", "de_DE"}, {"fr", "fr_FR"}, {"es", "es_ES"}};
    const auto found = locales.find(language);
    return (found == locales.end() ? std::string("C") : found->second) + ".UTF-8";
}

std::vector<Scene> allScenes(const ScreenshotOptions& options)
{
    if (!options.helpImagesFolder.empty()) {
        auto scenes = helpImageScenes();
        for (auto& scene : scenes) {
            scene.width = ScreenshotOptions::helpImageWidth;
            scene.height = ScreenshotOptions::helpImageHeight;
        }
        return scenes;
    }
    std::vector<Scene> scenes;
    for (auto group : {monitorScenes(), plotterScenes(), helpWindowScenes()})
        std::move(group.begin(), group.end(), std::back_inserter(scenes));
    return scenes;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string program = "velmora-screenshots";
    std::string error;
    const auto parsed = ScreenshotOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!parsed) {
        std::cerr << program << ": " << error << "\n" << ScreenshotOptions::usage(program);
        return 2;
    }
    const ScreenshotOptions& options = *parsed;
    if (options.showHelp) {
        std::cout << ScreenshotOptions::usage(program);
        return 0;
    }
    const auto scenes = allScenes(options);
    const bool helpImages = !options.helpImagesFolder.empty();
    if (options.listScenes) {
        for (const auto& scene : scenes)
            std::cout << scene.name << "\t" << scene.description << "\n";
        return 0;
    }
    std::vector<const Scene*> chosen;
    for (const auto& scene : scenes) {
        if (options.scenes.empty() ||
            std::find(options.scenes.begin(), options.scenes.end(), scene.name) != options.scenes.end())
            chosen.push_back(&scene);
    }
    for (const auto& name : options.scenes) {
        if (std::none_of(scenes.begin(), scenes.end(), [&](const Scene& scene) { return scene.name == name; })) {
            std::cerr << program << ": no scene \"" << name << "\" (see --list)\n";
            return 2;
        }
    }
    if (!simboard::runsUnderUmockdev())
        simboard::restartUnderUmockdev(argv, "velmora-screenshots");

    // The language reaches the catalogue the way it does in the real program: through the
    // environment that QLocale reads. The locale goes with it, so that numbers look as a user of
    // that language sees them (a decimal comma in German), whatever the machine is set to.
    ::setenv("LANGUAGE", options.language.c_str(), 1);
    ::setenv("LC_ALL", localeFor(options.language).c_str(), 1);
    QApplication app(argc, argv);
    std::vector<std::string> languages;
    for (const QString& language : QLocale::system().uiLanguages())
        languages.push_back(language.toStdString());
    L10n::usePreferredLanguages(std::move(languages));
    if (rawValue(L10n::language()) != options.language) {
        std::cerr << program << ": the catalogue chose \"" << rawValue(L10n::language()) << "\" instead of \""
                  << options.language << "\"\n";
        return 1;
    }
    QApplication::setApplicationName(QString::fromStdString(L10n::appName()));
    QApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    // Scenes close their windows while the tool goes on.
    QApplication::setQuitOnLastWindowClosed(false);

    // Before the registry's scanner asks udev for the first list.
    std::unique_ptr<FakeUno> board;
    try {
        board = std::make_unique<FakeUno>();
    } catch (const std::exception& failure) {
        std::cerr << program << ": " << failure.what() << "\n";
        return 1;
    }

    // Never deleted, as in the program: the registry keeps posting to it.
    static QtMainQueue* const mainQueue = new QtMainQueue;
    auto& registry = PortRegistry::shared(*mainQueue);
    PortMonitor portMonitor(registry);
    if (!portMonitor.isWatching())
        std::cerr << program << ": warning: no device notifications; the port list will not change\n";
    QtAlertSound alert;

    const std::string folderName = helpImages ? options.helpImagesFolder : options.outputFolder;
    const QDir folder(QString::fromStdString(folderName));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::cerr << program << ": cannot create " << folderName << "\n";
        return 1;
    }

    bool allPassed = true;
    {
        SceneRunner runner({*mainQueue, alert, registry, *board}, ScreenshotOptions::width, ScreenshotOptions::height);
        if (helpImages)
            runner.setOutputWidth(ScreenshotOptions::helpImageOutputWidth);
        // The help looks its pictures up as {name}-{language}.png.
        const QString suffix = helpImages ? QStringLiteral("-%1.png").arg(QString::fromStdString(options.language))
                                          : QStringLiteral(".png");
        for (const Scene* scene : chosen) {
            const QString path = folder.filePath(QString::fromStdString(scene->name) + suffix);
            const bool passed = runner.run(*scene, path, options.printTexts);
            std::cout << (passed ? "wrote " : "wrote (with problems) ") << path.toStdString() << "\n";
            allPassed = allPassed && passed;
        }
    }
    return allPassed ? 0 : 1;
}
