#include "app/help/HelpScreenshots.h"

#include <QDir>
#include <QStandardPaths>

// The screenshots live in a static library, whose resource initializer the linker would drop
// without a reference to it; Q_INIT_RESOURCE must be used outside any namespace.
static void initBundledScreenshots()
{
    Q_INIT_RESOURCE(help_screenshots);
}

namespace velmora {
namespace {

QString qt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QImage firstReadable(const QString& fileName, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QImage image(QDir(folder).filePath(fileName));
        if (!image.isNull())
            return image;
    }
    return {};
}

} // namespace

QStringList helpScreenshotFolders()
{
    static const bool initialized = [] {
        initBundledScreenshots();
        return true;
    }();
    (void)initialized;

    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        folders.append(QDir(data).filePath(QStringLiteral("help-screenshots")));
    folders.append(QStringLiteral(":/help-screenshots"));
    return folders;
}

QImage helpScreenshot(std::string_view name, Language language, const QStringList& folders)
{
    const auto fileName = [name](Language in) { return QStringLiteral("%1-%2.png").arg(qt(name), qt(rawValue(in))); };
    QImage image = firstReadable(fileName(language), folders);
    if (image.isNull() && language != Language::en)
        image = firstReadable(fileName(Language::en), folders);
    return image;
}

} // namespace velmora
