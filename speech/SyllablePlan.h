#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which recorded syllable says a written one: the pinyin's folder name in a set of recordings
// kept one folder per syllable and tone, named in zhuyin with a tone digit (ㄨㄤ4 is wàng), and
// the tone changes a word's syllables undergo when spoken. Pure: no files, no sound.
namespace SyllablePlan {

// The neutral tone, as tone() gives it; 1 to 4 are the four tones.
constexpr int Neutral = 0;

struct Syllable
{
    QString letters; // lower case, ü written v, as PinyinSyllables::letters gives it
    int tone = Neutral;
    bool operator==(const Syllable&) const = default;
};

// One syllable in tone-marked ("wàng") or tone-numbered ("wang4", 5 or 0 for the neutral tone)
// pinyin. Without a mark or digit the syllable has the neutral tone. Empty letters when it is
// not one syllable of the inventory, or carries two marks, or a mark and a digit.
Syllable parse(QStringView written);

// The zhuyin spelling of a toneless syllable ("wang" gives "ㄨㄤ", "zhi" gives "ㄓ", "lv" and
// "lü" give "ㄌㄩ"); empty for the interjections without one (m, n, ng, hm, hng) and for
// anything that is not a syllable.
QString zhuyin(QStringView letters);

// The folders that may hold a syllable's recording, best first: the zhuyin with no digit for the
// first tone, 2, 3 or 4 for the others. The neutral tone is recorded for a few particles only,
// marked with the digit 1 (ㄉㄜ1 is the de of 的); where that is missing the level first tone
// stands in, the closest of the four to a short, toneless syllable. Empty when the syllable has
// no zhuyin.
QStringList folders(const Syllable& syllable);

// The tones a word's syllables are spoken with. `characters` holds each syllable's Han
// character (or is empty, for written pinyin: then 一 and 不 are not recognised). In this order:
// 一 written yī becomes yí before a fourth tone and yì before the other three (it stays yī at the
// end of a word and before the neutral tone); 不 written bù becomes bú before a fourth tone. Then
// a third tone before a third tone becomes a second, first inside feet of two syllables counted
// from the left (the way four-character idioms divide: 2 3 2 3 for four third tones), then
// across feet where the tone before the join is still a third. The changed tones are what should
// be heard, whether or not a recording of them exists.
QList<int> spokenTones(const QList<Syllable>& syllables, const QString& characters = {});

} // namespace SyllablePlan
