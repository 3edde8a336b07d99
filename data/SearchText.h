#pragma once

#include <QString>
#include <functional>

// What a learner types into the search box, made into what the store holds, for a second try
// after a search that found nothing: learners type what they see or hear, not the store's
// spelling.
namespace SearchText {

// The pinyin as the store writes it in SPingYin: letters folded to lower case (full-width
// ones too), blanks, apostrophes and hyphens dropped, tone marks taken off the vowels, a tone
// digit 1 to 5 after a letter dropped, and ü, ǖǘǚǜ, "u:" and "v" all as "v". "%" and "_" stay.
QString pinyin(const QString& typed);

// Characters as the store writes them: blanks dropped, traditional characters made
// simplified by `toSimplified`.
QString characters(const QString& typed,
                   const std::function<QString(const QString&)>& toSimplified);

// The longest text a search takes: its LIKE pattern stays within what SQLite accepts (50,000
// bytes) even when every character takes four bytes in GB18030.
inline constexpr qsizetype MaxLength = 10000;

// The text without its control characters (a NUL, a tab, a line break pasted along): no
// idiom or pinyin holds one, and a NUL would cut the statement short.
QString withoutControls(const QString& typed);

bool hasHan(const QString& text);
bool hasLatinLetter(const QString& text); // full-width letters count

struct Try
{
    bool pinyinSearch = true;
    QString text; // empty: no second try
};

// The second try for `typed` in the checked mode: the pinyin search with the pinyin made as
// the store writes it, unless the text holds Han characters and no Latin letter, which go to
// the character search; the character search with simplified characters, unless the text
// holds Latin letters and no Han character, which go to the pinyin search. No second try
// when it would run the very search that has already found nothing.
Try secondTry(const QString& typed, bool pinyinMode,
              const std::function<QString(const QString&)>& toSimplified);

} // namespace SearchText
