#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace velmora {

// The first occurrence of needle in text at or after from, or the last one that starts before
// from when searching backwards, compared without regard to case.
std::optional<std::size_t> findInText(
    std::u16string_view text, const QString& needle, std::size_t from, bool backwards);

// The word around position, as a double click selects it: letters, digits and "_.-", so that a
// number such as -12.5 or a name such as sensor_2 is one word.
std::pair<std::size_t, std::size_t> wordAround(std::u16string_view text, std::size_t position);

} // namespace velmora
