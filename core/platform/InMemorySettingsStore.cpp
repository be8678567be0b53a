#include "core/platform/InMemorySettingsStore.h"

#include <utility>

namespace velmora {

std::optional<SettingValue> InMemorySettingsStore::value(std::string_view key) const
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

void InMemorySettingsStore::setValue(std::string_view key, SettingValue value)
{
    ++writeCount_;
    const auto found = values_.find(key);
    if (found == values_.end())
        values_.emplace(std::string(key), std::move(value));
    else
        found->second = std::move(value);
}

void InMemorySettingsStore::remove(std::string_view key)
{
    const auto found = values_.find(key);
    if (found != values_.end())
        values_.erase(found);
}

} // namespace velmora
