#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace velmora {

// A value as the settings store holds it. The type is part of the value: an integer is not a
// boolean, and the string "true" is neither.
using SettingValue = std::variant<std::int64_t, bool, std::string>;

// What a typed read found under a key.
enum class SettingStatus { present, absent, otherType };

// The outcome of a typed read. When the key is absent or holds another type, value is the
// type's zero (0, false, ""), which is what the desktop stores' typed reads give as well; the
// status lets a caller that needs to tell these cases apart do so.
template <typename T> struct SettingRead {
    SettingStatus status = SettingStatus::absent;
    T value{};

    bool isPresent() const { return status == SettingStatus::present; }
    T valueOr(T fallback) const { return isPresent() ? value : std::move(fallback); }

    friend bool operator==(const SettingRead&, const SettingRead&) = default;
};

// The per-user settings: one flat set of keys shared by every tab, read when a model is created
// and written as soon as a setting changes. The app implements it over QSettings; tests use
// InMemorySettingsStore.
//
// Thread: main thread only.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The value stored under key, or nothing when the key is absent.
    virtual std::optional<SettingValue> value(std::string_view key) const = 0;
    // Replaces whatever the key held, whatever its type was.
    virtual void setValue(std::string_view key, SettingValue value) = 0;

    SettingRead<std::int64_t> readInteger(std::string_view key) const { return read<std::int64_t>(key); }
    SettingRead<bool> readBool(std::string_view key) const { return read<bool>(key); }
    SettingRead<std::string> readString(std::string_view key) const { return read<std::string>(key); }

    void writeInteger(std::string_view key, std::int64_t value) { setValue(key, SettingValue(value)); }
    void writeBool(std::string_view key, bool value) { setValue(key, SettingValue(value)); }
    void writeString(std::string_view key, std::string value) { setValue(key, SettingValue(std::move(value))); }

private:
    template <typename T> SettingRead<T> read(std::string_view key) const
    {
        const auto stored = value(key);
        if (!stored)
            return {};
        if (const T* typed = std::get_if<T>(&*stored))
            return {SettingStatus::present, *typed};
        return {SettingStatus::otherType, T{}};
    }
};

} // namespace velmora
