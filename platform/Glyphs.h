#pragma once

#include <QIcon>

// The 16 x 16 button glyphs compiled into the program (resources/glyphs/), each with the
// variant a disabled button shows.
namespace Glyphs {

QIcon icon(const char* name);

// The program's own icon (resources/icons/), at every size it ships, for each of its windows.
QIcon programIcon();

} // namespace Glyphs
