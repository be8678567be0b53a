#pragma once

#include <string_view>

namespace velmora {

// The application's reverse-DNS identifier, set once in the build.
inline constexpr std::string_view appId = VELMORA_APP_ID;

} // namespace velmora
