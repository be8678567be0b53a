#pragma once

#include "core/platform/SettingsStore.h"
#include "core/support/Published.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace velmora {

// When a setting goes to the store: only when its value changes, or every time it is set, so
// that a choice made again is written again.
enum class StoreRule { whenChanged, whenSet };

// One key of the settings store: its name, the value used when the key is absent or holds
// something unacceptable, when it is written, and how its value is read and written.
template <typename T> struct SettingKey {
    std::string_view name;
    T fallback;
    StoreRule rule;
    // The stored value when it is present and acceptable.
    std::optional<T> (*read)(const SettingsStore& store, std::string_view name);
    void (*write)(SettingsStore& store, std::string_view name, const T& value);
};

// A persisted choice: read from the store once, published to its observers, written back by its
// key's rule whenever it is set. Views set it directly; whoever must act on a change observes it
// with onChange.
//
// Thread: main thread only.
template <typename T> class Setting {
public:
    Setting(SettingsStore& store, const SettingKey<T>& key)
        : store_(store), key_(key), value_(key.read(store, key.name).value_or(key.fallback))
    {
    }
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

    const T& value() const { return value_.value(); }
    const T& operator*() const { return value_.value(); }
    const T* operator->() const { return &value_.value(); }
    const Published<T>& published() const { return value_; }
    std::string_view key() const { return key_.name; }

    void set(T value)
    {
        const bool changed = !(value == value_.value());
        if (changed || key_.rule == StoreRule::whenSet)
            key_.write(store_, key_.name, value);
        if (changed)
            value_.set(std::move(value));
    }

    // Gets the current value at once and every change after it.
    [[nodiscard]] Subscription subscribe(typename Published<T>::Observer observer) const
    {
        return value_.subscribe(std::move(observer));
    }
    // Gets every change after now, not the current value.
    [[nodiscard]] Subscription onChange(typename Published<T>::Observer observer) const
    {
        auto skipCurrent = std::make_shared<bool>(true);
        return value_.subscribe([skipCurrent, observer = std::move(observer)](const T& value) {
            if (!std::exchange(*skipCurrent, false))
                observer(value);
        });
    }

private:
    SettingsStore& store_;
    const SettingKey<T>& key_;
    Published<T> value_;
};

} // namespace velmora
