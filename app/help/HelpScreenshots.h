#pragma once

#include "localization/Language.h"

#include <QImage>
#include <QStringList>

#include <string_view>

namespace velmora {

// Where the help's screenshots are looked for, in this order: the "help-screenshots" folders of
// the installed application data (a regenerated set takes effect without a rebuild), then the
// set built into the program.
QStringList helpScreenshotFolders();

// The screenshot "{name}-{language}.png" from the first folder that has a readable one; if none
// has, the English one; if that fails too, a null image.
QImage helpScreenshot(std::string_view name, Language language, const QStringList& folders = helpScreenshotFolders());

} // namespace velmora
