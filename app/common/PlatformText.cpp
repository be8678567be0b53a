#include "app/common/PlatformText.h"

#include <QByteArray>
#include <QLocale>

namespace velmora {

QString platformText(const std::string& catalogueText)
{
    QString text = QString::fromStdString(catalogueText);
    text.replace(QStringLiteral("⌘"), QStringLiteral("Ctrl+"));
    text.replace(QStringLiteral("⇧"), QStringLiteral("Shift+"));
    return text;
}

QString withLocaleNumbers(const std::string& catalogueText, std::initializer_list<std::int64_t> numbers)
{
    QString text = QString::fromStdString(catalogueText);
    const QLocale locale;
    qsizetype from = 0;
    for (const std::int64_t number : numbers) {
        const QString plain = QString::number(number);
        const qsizetype at = text.indexOf(plain, from);
        if (at < 0)
            continue;
        const QString shown = locale.toString(static_cast<qlonglong>(number));
        text.replace(at, plain.size(), shown);
        from = at + shown.size();
    }
    return text;
}

QString cappedToUtf8Bytes(const QString& text, std::size_t maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    if (static_cast<std::size_t>(utf8.size()) <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back to the first byte of the character that would cross the limit.
    while (end > 0 && (static_cast<unsigned char>(utf8[static_cast<qsizetype>(end)]) & 0xC0) == 0x80)
        --end;
    return QString::fromUtf8(utf8.left(static_cast<qsizetype>(end)));
}

} // namespace velmora
