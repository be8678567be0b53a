#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace velmora {

// A catalogue text as a QString.
inline QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// A catalogue text for a Qt widget, with key symbols in this platform's notation: the texts
// write shortcuts the way a Mac shows them ("Connect (⌘R)"), the desktop reads "Connect (Ctrl+R)".
QString platformText(const std::string& catalogueText);

// A catalogue text whose integers, inserted as plain digits, are shown in the user's locale
// instead ("12000000" → "12,000,000" in English). The numbers are given in the order in which
// the text holds them.
QString withLocaleNumbers(const std::string& catalogueText, std::initializer_list<std::int64_t> numbers);

// The longest prefix of whole characters whose UTF-8 form fits in maxBytes: a character that
// would cross the limit is dropped whole.
QString cappedToUtf8Bytes(const QString& text, std::size_t maxBytes);

} // namespace velmora
