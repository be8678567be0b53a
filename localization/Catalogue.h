#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "localization/Language.h"

// The catalogue as a table. The key enumeration and the table are made from the one list of rows
// in Catalogue.inc, so every key has exactly one row and a row without all five texts does not
// compile. Immutable data: readable from any thread.
namespace velmora::L10n {

// One text per language, in the order of Language.
using Texts = std::array<std::string_view, allLanguages.size()>;

enum class Key : std::size_t {
#define VELMORA_TEXT(group, key, en, nl, de, fr, es) group##_##key,
#define VELMORA_TEMPLATE(group, key, en, nl, de, fr, es) group##_##key,
#include "localization/Catalogue.inc"
#undef VELMORA_TEMPLATE
#undef VELMORA_TEXT
};

struct CatalogueRow {
    std::string_view group;
    std::string_view key;
    // A constant text, read as it is; otherwise a template with {values} or one case of a choice.
    bool constant;
    Texts texts;
};

inline constexpr CatalogueRow catalogue[] = {
#define VELMORA_TEXT(group, key, en, nl, de, fr, es) {#group, #key, true, {en, nl, de, fr, es}},
#define VELMORA_TEMPLATE(group, key, en, nl, de, fr, es) {#group, #key, false, {en, nl, de, fr, es}},
#include "localization/Catalogue.inc"
#undef VELMORA_TEMPLATE
#undef VELMORA_TEXT
};

inline constexpr std::size_t keyCount = std::size(catalogue);

constexpr const Texts& textsOf(Key key)
{
    return catalogue[static_cast<std::size_t>(key)].texts;
}

} // namespace velmora::L10n
