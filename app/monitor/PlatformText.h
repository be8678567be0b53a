#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace velmora {

// A catalogue text for a Qt widget, with key symbols in this platform's notation: the texts
// write shortcuts the way a Mac shows them ("Connect (⌘R)"), the desktop reads "Connect (Ctrl+R)".
QString platformText(const std::string& catalogueText);

// The longest prefix of whole characters whose UTF-8 form fits in maxBytes: a character that
// would cross the limit is dropped whole.
QString cappedToUtf8Bytes(const QString& text, std::size_t maxBytes);

} // namespace velmora
