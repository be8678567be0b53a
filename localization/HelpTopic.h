#pragma once

#include <string>
#include <variant>
#include <vector>

namespace velmora {

// One row of a help table: the left cell (a key, a shortcut, a symptom) and the right one.
struct HelpRow {
    std::string key;
    std::string value;

    friend bool operator==(const HelpRow&, const HelpRow&) = default;
};

// The blocks a help topic is made of, in this fixed order of kinds. Texts may hold the small
// inline Markdown the viewer renders: **bold**, *italic* and `code`.
namespace HelpBlocks {
struct Paragraph {
    std::string text;
    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};
struct Heading {
    std::string text;
    friend bool operator==(const Heading&, const Heading&) = default;
};
struct Bullets {
    std::vector<std::string> items;
    friend bool operator==(const Bullets&, const Bullets&) = default;
};
struct Table {
    std::vector<HelpRow> rows;
    friend bool operator==(const Table&, const Table&) = default;
};
struct Tip {
    std::string text;
    friend bool operator==(const Tip&, const Tip&) = default;
};
// An image of the program, chosen by name (and the interface language), with its caption.
struct Screenshot {
    std::string name;
    std::string caption;
    friend bool operator==(const Screenshot&, const Screenshot&) = default;
};
} // namespace HelpBlocks

using HelpBlock = std::variant<HelpBlocks::Paragraph, HelpBlocks::Heading, HelpBlocks::Bullets, HelpBlocks::Table,
    HelpBlocks::Tip, HelpBlocks::Screenshot>;

// One topic of the help window. The id is the same in every language; title and blocks are in
// the interface language.
struct HelpTopic {
    std::string id;
    std::string title;
    // The symbol (icon) name shown with the title.
    std::string symbol;
    std::vector<HelpBlock> blocks;

    // The title and the text of every block in order, joined with single blanks: what a search
    // looks through (a screenshot counts by its caption, not its image name).
    std::string searchableText() const;

    friend bool operator==(const HelpTopic&, const HelpTopic&) = default;
};

} // namespace velmora
