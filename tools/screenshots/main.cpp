// Writes screenshots of the real application's windows, driven against a fake Arduino Uno.
#include "app/platform/PortMonitor.h"
#include "app/platform/QtAlertSound.h"
#include "app/platform/QtMainQueue.h"
#include "core/session/PortRegistry.h"
#include "localization/L10n.h"
#include "tools/screenshots/FakeUno.h"
#include "tools/screenshots/SceneRunner.h"
#include "tools/screenshots/ScreenshotOptions.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

using namespace velmora;
using namespace velmora::tools;

namespace {

bool runsUnderUmockdev()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::string_view(preload).find("libumockdev-preload") != std::string_view::npos;
}

// The preload library must be there before the process starts; the dynamic linker reads
// LD_PRELOAD only then.
[[noreturn]] void restartUnderUmockdev(char* argv[])
{
    std::string preload = UMOCKDEV_PRELOAD;
    if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing)
        preload += std::string(":") + existing;
    ::setenv("LD_PRELOAD", preload.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::cerr << "velmora-screenshots: cannot restart under umockdev: " << std::strerror(errno) << "\n";
    std::exit(1);
}

std::vector<Scene> allScenes()
{
    return monitorScenes();
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
    const auto scenes = allScenes();
    if (options.listScenes) {
        for (const auto& scene : scenes)
            std::cout << scene.name << "\t" << scene.description << "\n";
        return 0;
    }
    std::vector<const Scene*> chosen;
    for (const auto& scene : scenes) {
        if (options.scenes.empty()
            || std::find(options.scenes.begin(), options.scenes.end(), scene.name) != options.scenes.end())
            chosen.push_back(&scene);
    }
    for (const auto& name : options.scenes) {
        if (std::none_of(scenes.begin(), scenes.end(), [&](const Scene& scene) { return scene.name == name; })) {
            std::cerr << program << ": no scene \"" << name << "\" (see --list)\n";
            return 2;
        }
    }
    if (!runsUnderUmockdev())
        restartUnderUmockdev(argv);

    // The language reaches the catalogue the way it does in the real program: through the
    // environment that QLocale reads.
    ::setenv("LANGUAGE", options.language.c_str(), 1);
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

    const QDir folder(QString::fromStdString(options.outputFolder));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::cerr << program << ": cannot create " << options.outputFolder << "\n";
        return 1;
    }

    bool allPassed = true;
    {
        SceneRunner runner({*mainQueue, alert, registry, *board}, ScreenshotOptions::width, ScreenshotOptions::height);
        for (const Scene* scene : chosen) {
            const QString path = folder.filePath(QString::fromStdString(scene->name) + QStringLiteral(".png"));
            const bool passed = runner.run(*scene, path, options.printTexts);
            std::cout << (passed ? "wrote " : "wrote (with problems) ") << path.toStdString() << "\n";
            allPassed = allPassed && passed;
        }
    }
    return allPassed ? 0 : 1;
}
