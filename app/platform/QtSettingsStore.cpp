#include "app/platform/QtSettingsStore.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

#include <cmath>

namespace velmora {

namespace {

// JSON keeps numbers as doubles unless they are written as integers, so an integral number is
// taken back as the integer it was written as.
QVariant fromJson(const QJsonValue& json)
{
    switch (json.type()) {
    case QJsonValue::Bool:
        return json.toBool();
    case QJsonValue::String:
        return json.toString();
    case QJsonValue::Double: {
        const QVariant number = json.toVariant();
        if (number.typeId() == QMetaType::LongLong)
            return number;
        const double value = json.toDouble();
        constexpr double limit = 9'223'372'036'854'775'808.0; // 2^63
        if (std::trunc(value) == value && value >= -limit && value < limit)
            return static_cast<qint64>(value);
        return value;
    }
    default:
        // Arrays, objects and null are nothing this program writes.
        return {};
    }
}

bool readJson(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        QVariant value = fromJson(it.value());
        if (value.isValid())
            map.insert(it.key(), std::move(value));
    }
    return true;
}

QJsonValue toJson(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::QString:
        return value.toString();
    default:
        return QJsonValue::fromVariant(value);
    }
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it)
        object.insert(it.key(), toJson(it.value()));
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    return device.write(bytes) == bytes.size();
}

} // namespace

QSettings::Format QtSettingsStore::jsonFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson);
    return format;
}

// With the application id as the organisation and no application name, QSettings names the
// file after the id alone.
QtSettingsStore::QtSettingsStore()
    : settings_(jsonFormat(), QSettings::UserScope, QStringLiteral(VELMORA_APP_ID), QString())
{
}

QtSettingsStore::QtSettingsStore(const QString& filePath) : settings_(filePath, jsonFormat())
{
}

std::optional<SettingValue> QtSettingsStore::value(std::string_view key) const
{
    const QVariant stored = settings_.value(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    switch (stored.typeId()) {
    case QMetaType::Bool:
        return SettingValue(stored.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return SettingValue(static_cast<std::int64_t>(stored.toLongLong()));
    case QMetaType::QString:
        return SettingValue(stored.toString().toStdString());
    default:
        // Absent, or something none of our three types can hold (a fraction, a list).
        return std::nullopt;
    }
}

void QtSettingsStore::setValue(std::string_view key, SettingValue value)
{
    const QString qKey = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    if (const auto* integer = std::get_if<std::int64_t>(&value))
        settings_.setValue(qKey, QVariant::fromValue(static_cast<qint64>(*integer)));
    else if (const auto* flag = std::get_if<bool>(&value))
        settings_.setValue(qKey, *flag);
    else
        settings_.setValue(qKey, QString::fromStdString(std::get<std::string>(value)));
    // Written at once, as settings are meant to be, not when the event loop gets round to it.
    settings_.sync();
}

} // namespace velmora
