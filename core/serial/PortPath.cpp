#include "core/serial/PortPath.h"

#include <algorithm>

namespace velmora {
namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool isAcceptablePortPath(std::string_view path)
{
    constexpr std::string_view dev = "/dev/";
    constexpr std::size_t maxNameLength = 127;
    if (!path.starts_with(dev))
        return false;
    const std::string_view name = path.substr(dev.size());
    if (name.size() > maxNameLength || name.find("..") != std::string_view::npos)
        return false;

    if (name.starts_with("pts/"))
        return allDigits(name.substr(4));
    if (name.find('/') != std::string_view::npos)
        return false;
    if (name.starts_with("cu.") || name.starts_with("tty."))
        return true;
    if (name.starts_with("rfcomm"))
        return allDigits(name.substr(6));
    return name.size() > 3 && name.starts_with("tty") && isAsciiLetter(name[3]);
}

} // namespace velmora
