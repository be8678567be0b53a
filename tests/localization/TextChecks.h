#pragma once

#include <string>
#include <string_view>

namespace velmora::testing {

// The text without its `code` spans, which hold code and data and keep ASCII punctuation.
inline std::string withoutCode(std::string_view text)
{
    std::string prose;
    bool inCode = false;
    for (const char c : text) {
        if (c == '`')
            inCode = !inCode;
        else if (!inCode)
            prose += c;
    }
    return prose;
}

} // namespace velmora::testing
