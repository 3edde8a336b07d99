#pragma once

#include <QString>
#include <QStringList>

// Written Mandarin pinyin as the dictionary shows it: syllables with tone marks.
namespace PinyinSyllables {

// The syllables of written pinyin: the runs between blanks and punctuation, in NFC. Nothing is
// dropped from a run, so a stray digit or a look-alike letter stays for isSyllable() to reject.
QStringList split(const QString& written);

// True when `syllable` is one Mandarin syllable: a toneless spelling of the inventory (ü only
// after n and l, written ü; after j, q, x and y it is written u), in any case, with at most one
// tone mark, and that mark on the vowel the spelling rules put it on (a or e, else the o of
// ou, else the last vowel).
bool isSyllable(QStringView syllable);

// The spelling of a syllable without its tone mark, in lower case, ü written v; anything but
// letters is dropped: "Lǜ" gives "lv", "diu1" gives "diu".
QString letters(QStringView syllable);

// The tone a syllable's mark shows, 1 to 4; 0 without a mark, -1 with more than one.
int tone(QStringView syllable);

// A toneless spelling (ü written v or ü) with the mark of `tone` (1 to 4; 0 for none) on the
// vowel the spelling rules put it on: ("lve", 4) gives "lüè", ("jiu", 1) gives "jiū".
QString withTone(QStringView letters, int tone);

// The Han characters of `text`, in order; punctuation and anything else are left out.
// A Han character, as every check of idioms counts them: a letter of the Han script.
bool isHan(char32_t c);

QList<char32_t> hanCharacters(QStringView text);

// The number of Han characters of `text`; punctuation and anything else count nothing.
int hanCount(QStringView text);

// The syllables of `pinyin`, one for each Han character of `idiom`, when every one is a real
// syllable and their number is right; otherwise an empty list.
QStringList readingOf(const QString& idiom, const QString& pinyin);

} // namespace PinyinSyllables
