#include "tools/simboard/UmockdevPreload.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace velmora::simboard {

bool runsUnderUmockdev()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::string_view(preload).find("libumockdev-preload") != std::string_view::npos;
}

void restartUnderUmockdev(char* argv[], std::string_view program)
{
    std::string preload = UMOCKDEV_PRELOAD;
    if (const char* existing = std::getenv("LD_PRELOAD"); existing && *existing)
        preload += std::string(":") + existing;
    ::setenv("LD_PRELOAD", preload.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::cerr << program << ": cannot restart under umockdev: " << std::strerror(errno) << "\n";
    std::exit(1);
}

} // namespace velmora::simboard
