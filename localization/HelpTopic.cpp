#include "localization/HelpTopic.h"

#include <type_traits>

namespace velmora {

std::string HelpTopic::searchableText() const
{
    std::string text = title;
    const auto append = [&text](const std::string& piece) {
        text += ' ';
        text += piece;
    };
    for (const HelpBlock& block : blocks) {
        std::visit(
            [&append](const auto& content) {
                using Kind = std::decay_t<decltype(content)>;
                if constexpr (std::is_same_v<Kind, HelpBlocks::Bullets>) {
                    for (const std::string& item : content.items) {
                        append(item);
                    }
                } else if constexpr (std::is_same_v<Kind, HelpBlocks::Table>) {
                    for (const HelpRow& row : content.rows) {
                        append(row.key);
                        append(row.value);
                    }
                } else if constexpr (std::is_same_v<Kind, HelpBlocks::Screenshot>) {
                    // The image name is a file name, not something the reader sees.
                    append(content.caption);
                } else {
                    append(content.text);
                }
            },
            block);
    }
    return text;
}

} // namespace velmora
