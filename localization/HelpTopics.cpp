#include "localization/Catalogue.h"
#include "localization/HelpTopic.h"
#include "localization/L10n.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::L10n::Help {

namespace {

enum class Part { topic, paragraph, heading, bullet, row, tip, screenshot };

// One line of the help content: the start of a topic, a block, or one item of a list or table.
struct Line {
    Part part;
    // A topic's id or a screenshot's image name.
    std::string_view name;
    std::string_view symbol;
    // The title, text or caption; the left cell of a row.
    Texts texts;
    // The right cell of a row.
    Texts value{};
};

constexpr Texts texts(
    std::string_view en, std::string_view nl, std::string_view de, std::string_view fr, std::string_view es)
{
    return {en, nl, de, fr, es};
}

// Code, data and key names that read the same in every language.
constexpr Texts same(std::string_view text)
{
    return {text, text, text, text, text};
}

constexpr Texts label(Key key)
{
    return textsOf(key);
}

constexpr Line topic(std::string_view id, std::string_view symbol, const Texts& title)
{
    return {Part::topic, id, symbol, title};
}

constexpr Line topic(std::string_view id, std::string_view symbol, std::string_view en, std::string_view nl,
    std::string_view de, std::string_view fr, std::string_view es)
{
    return topic(id, symbol, texts(en, nl, de, fr, es));
}

constexpr Line paragraph(
    std::string_view en, std::string_view nl, std::string_view de, std::string_view fr, std::string_view es)
{
    return {Part::paragraph, {}, {}, texts(en, nl, de, fr, es)};
}

constexpr Line heading(const Texts& text)
{
    return {Part::heading, {}, {}, text};
}

constexpr Line heading(
    std::string_view en, std::string_view nl, std::string_view de, std::string_view fr, std::string_view es)
{
    return heading(texts(en, nl, de, fr, es));
}

constexpr Line bullet(
    std::string_view en, std::string_view nl, std::string_view de, std::string_view fr, std::string_view es)
{
    return {Part::bullet, {}, {}, texts(en, nl, de, fr, es)};
}

constexpr Line row(const Texts& key, const Texts& value)
{
    return {Part::row, {}, {}, key, value};
}

constexpr Line tip(
    std::string_view en, std::string_view nl, std::string_view de, std::string_view fr, std::string_view es)
{
    return {Part::tip, {}, {}, texts(en, nl, de, fr, es)};
}

constexpr Line screenshot(std::string_view name, std::string_view en, std::string_view nl, std::string_view de,
    std::string_view fr, std::string_view es)
{
    return {Part::screenshot, name, {}, texts(en, nl, de, fr, es)};
}

constexpr Line content[] = {
#include "localization/HelpContent.inc"
};

static_assert(content[0].part == Part::topic, "the help content starts with a topic");

} // namespace

std::vector<HelpTopic> topics()
{
    const auto index = static_cast<std::size_t>(language());
    const auto in = [index](const Texts& texts) { return std::string(texts[index]); };
    std::vector<HelpTopic> topics;
    Part previous = Part::topic;
    for (const Line& line : content) {
        if (line.part == Part::topic) {
            topics.push_back({std::string(line.name), in(line.texts), std::string(line.symbol), {}});
            previous = line.part;
            continue;
        }
        std::vector<HelpBlock>& blocks = topics.back().blocks;
        switch (line.part) {
        case Part::paragraph:
            blocks.emplace_back(HelpBlocks::Paragraph{in(line.texts)});
            break;
        case Part::heading:
            blocks.emplace_back(HelpBlocks::Heading{in(line.texts)});
            break;
        case Part::bullet:
            if (previous != Part::bullet) {
                blocks.emplace_back(HelpBlocks::Bullets{});
            }
            std::get<HelpBlocks::Bullets>(blocks.back()).items.push_back(in(line.texts));
            break;
        case Part::row:
            if (previous != Part::row) {
                blocks.emplace_back(HelpBlocks::Table{});
            }
            std::get<HelpBlocks::Table>(blocks.back()).rows.push_back({in(line.texts), in(line.value)});
            break;
        case Part::tip:
            blocks.emplace_back(HelpBlocks::Tip{in(line.texts)});
            break;
        case Part::screenshot:
            blocks.emplace_back(HelpBlocks::Screenshot{std::string(line.name), in(line.texts)});
            break;
        case Part::topic:
            break;
        }
        previous = line.part;
    }
    return topics;
}

} // namespace velmora::L10n::Help
