#include "app/platform/PortMonitor.h"
#include "app/platform/QtMainQueue.h"
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

    QMainWindow window;
    window.setWindowTitle(appName);
    window.resize(960, 640);
    window.show();
    return QApplication::exec();
}
