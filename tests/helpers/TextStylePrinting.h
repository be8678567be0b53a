#pragma once

#include "core/pipeline/StyledRun.h"

#include <array>
#include <cstddef>
#include <ostream>

namespace velmora {

// Lets GoogleTest print styles by name.
inline void PrintTo(TextStyle style, std::ostream* os)
{
    *os << std::array{"data", "timestamp", "echo", "meta", "system"}[static_cast<std::size_t>(style)];
}

} // namespace velmora
