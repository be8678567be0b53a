#pragma once

#include "core/platform/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace velmora {

// The per-user settings over QSettings, kept as a JSON file so that integers, booleans and
// strings come back as the type they were written with: QSettings' INI files hold text only,
// and "true" or "115200" would read back as strings.
//
// Thread: main thread only.
class QtSettingsStore final : public SettingsStore {
public:
    // The user's store: VELMORA_APP_ID.json in the user's config folder.
    QtSettingsStore();
    // A store in the given file, for tests.
    explicit QtSettingsStore(const QString& filePath);

    std::optional<SettingValue> value(std::string_view key) const override;
    void setValue(std::string_view key, SettingValue value) override;

    QString fileName() const { return settings_.fileName(); }
    // NoError unless the file could not be read or written.
    QSettings::Status status() const { return settings_.status(); }

    // The QSettings format that reads and writes JSON, registered on first use.
    static QSettings::Format jsonFormat();

private:
    QSettings settings_;
};

} // namespace velmora
