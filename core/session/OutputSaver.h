#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// "serial-log-2026-12-05T140309.txt": the name a save dialog suggests for the output, from the
// local date and time.
std::string suggestedLogFileName(std::chrono::system_clock::time_point now);

// Writes text to target atomically: into a new file beside it, flushed to disk, then renamed
// over it, so the target is either the old file or the whole new one. Returns the system's
// description of what failed, or nothing on success.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& target, std::string_view text);

} // namespace velmora
