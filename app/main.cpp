#include "app/monitor/LogoBackdrop.h"
#include "app/platform/PortMonitor.h"
#include "app/platform/QtAlertSound.h"
#include "app/platform/QtMainQueue.h"
#include "app/platform/QtSettingsStore.h"
#include "app/shell/Shell.h"
#include "core/session/PortRegistry.h"
#include "localization/L10n.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // Before anything reads the catalogue: its first read fixes the language.
    std::vector<std::string> languages;
    for (const QString& language : QLocale::system().uiLanguages())
        languages.push_back(language.toStdString());
    velmora::L10n::usePreferredLanguages(std::move(languages));

    // Qt's own texts (the save dialog, a text field's context menu) in the same language.
    QTranslator qtTexts;
    const std::string_view code = velmora::rawValue(velmora::L10n::language());
    const QString language = QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()));
    if (qtTexts.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    const QString appName = QString::fromStdString(velmora::L10n::appName());
    QApplication::setApplicationName(appName);
    QApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    QApplication::setWindowIcon(QIcon(velmora::LogoBackdrop::logoPath()));

    // Never deleted: the registry, which is never destroyed either, keeps posting to it.
    static velmora::QtMainQueue* const mainQueue = new velmora::QtMainQueue;
    auto& registry = velmora::PortRegistry::shared(*mainQueue);
    velmora::PortMonitor portMonitor(registry);
    velmora::QtSettingsStore settings;
    velmora::QtAlertSound alert;

    velmora::Shell shell(
        [&] {
            return velmora::VelmoraModel::create({*mainQueue, settings, alert, registry, nullptr});
        },
        registry);
    // Quitting gives every port its settings back and releases its lock.
    QObject::connect(&app, &QApplication::aboutToQuit, &shell, [&shell] { shell.shutDown(); });
    shell.newWindow();
    return QApplication::exec();
}
