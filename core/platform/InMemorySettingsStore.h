#pragma once

#include "core/platform/SettingsStore.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace velmora {

// Settings kept in a map, for tests and tools. setValue() puts any type under any key, so a test
// can store a string where a boolean is expected, as a hand-edited settings file might.
//
// Thread: main thread only.
class InMemorySettingsStore final : public SettingsStore {
public:
    std::optional<SettingValue> value(std::string_view key) const override;
    void setValue(std::string_view key, SettingValue value) override;

    void remove(std::string_view key);
    // Every setValue call so far, including those that stored an unchanged value.
    std::size_t writeCount() const { return writeCount_; }

private:
    std::map<std::string, SettingValue, std::less<>> values_;
    std::size_t writeCount_ = 0;
};

} // namespace velmora
