#include "app/monitor/ContentView.h"
#include "app/platform/PortMonitor.h"
#include "app/platform/QtAlertSound.h"
#include "app/platform/QtMainQueue.h"
#include "app/platform/QtSettingsStore.h"
#include "app/platform/QtTextStore.h"
#include "core/session/PortRegistry.h"
#include "localization/L10n.h"

#include <QApplication>
#include <QLocale>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // Before anything reads the catalogue: its first read fixes the language.
    std::vector<std::string> languages;
    for (const QString& language : QLocale::system().uiLanguages())
        languages.push_back(language.toStdString());
    velmora::L10n::usePreferredLanguages(std::move(languages));

    const QString appName = QString::fromStdString(velmora::L10n::appName());
    QApplication::setApplicationName(appName);
    QApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));

    // Never deleted: the registry, which is never destroyed either, keeps posting to it.
    static velmora::QtMainQueue* const mainQueue = new velmora::QtMainQueue;
    velmora::PortMonitor portMonitor(velmora::PortRegistry::shared(*mainQueue));


    auto& registry = velmora::PortRegistry::shared(*mainQueue);
    velmora::QtSettingsStore settings;
    velmora::QtAlertSound alert;

    // One monitor window with one session for now; tabs and further windows come with the shell.
    auto model = velmora::VelmoraModel::create({*mainQueue, settings, alert, registry,
        [] { return std::make_unique<velmora::QtTextStore>(); }, nullptr});
    QMainWindow window;
    auto* content = new velmora::ContentView(model, &window);
    window.setCentralWidget(content);
    const auto retitle = [&window, content] { window.setWindowTitle(content->windowTitleText()); };
    QObject::connect(content, &velmora::ContentView::titleChanged, &window, retitle);
    retitle();
    window.resize(960, 640);
    window.show();
    const int result = QApplication::exec();
    // Quitting gives every port its settings back.
    model->disconnect();
    return result;
}
