#pragma once

#include <QString>

// Traditional Chinese characters to simplified ones, with OpenCC's "t2s" conversion. OpenCC
// loads its dictionaries on the first conversion, not before, so nobody pays for them until a
// search needs them.
namespace SimplifiedChinese {

// `text` with its traditional characters made simplified; unchanged when OpenCC or its data
// cannot be loaded (a search then goes on with what was typed).
QString fromTraditional(const QString& text);

} // namespace SimplifiedChinese
