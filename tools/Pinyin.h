#pragma once

#include <QString>
#include <QStringList>

// The searchable form of written pinyin.
namespace Pinyin {

// The syllables of written pinyin without tone marks, in lower case, ü written v (also when it
// carries a tone mark). Anything that is not a letter separates syllables and is dropped:
// blanks, ideographic spaces, punctuation, stray digits.
QStringList syllables(const QString& written);

// The syllables joined, a blank, then their initials: "yī yán jiǔ dǐng" gives
// "yiyanjiuding yyjd".
QString searchForm(const QString& written);

} // namespace Pinyin
