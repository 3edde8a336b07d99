#pragma once

#include <QList>
#include <QString>

class Readings;

// The check of an entry's written pinyin against its idiom, and the repairs that have one
// clear answer. The check: one Mandarin syllable for each Han character (an erhua syllable
// such as "nǎor" stands for its character and the 儿 after it), and no syllable cut short
// of its character's only fitting reading. Repairs, each named in Change::rule:
//
//   script-letter     the script letters ɡ and ɑ become g and a
//   tone-mark         a mark on the wrong vowel moves to the right one
//   cut-short         a syllable that is no reading of its character but the beginning or end
//                     of exactly one of them becomes that reading ("ji" for 家 becomes "jiā")
//   closest-reading   a syllable that is no syllable becomes the reading of its character
//                     closest to it: fewest letters changed, then the same tone
//   split             syllables written together are parted where each one is the spelling
//                     of a reading of its character ("fēngyún" for 风云)
//   missing-syllable  a syllable missing where only one place fits, for a character with a
//                     single reading, is put in
//   tone              a syllable Mandarin has, but never in the tone written ("déng" for 登),
//                     becomes the one full-tone reading of its character with the same letters,
//                     unless another reading has the tone written
//   lost-character    an idiom with one syllable more than characters gets back the character
//                     it lost where a full-width colon or opening quote was cut out of its GBK
//                     bytes: the one character that splits into two reading the syllables at
//                     its place (in their tones; only when no split fits so, in their letters),
//                     when the restored idiom then passes the check
//
// Which tones each syllable takes is learnt from the readings table (Readings::takesTone).
// A syllable that is one of its character's readings is never changed, nor is a real
// syllable that none of these explains (classical readings, neutral tones, tone sandhi).
namespace PinyinRepair {

struct Change
{
    QString rule;   // one of the names above
    QString detail; // what changed, e.g. "苍 āng→cāng"
};

struct Outcome
{
    QString idiom;         // the idiom, with its lost character restored where that rule applied
    QString pinyin;        // the written pinyin, repaired where a rule applied
    QList<Change> changes; // in the order of the syllables
    QString failure;       // why the entry still fails the check; empty when it passes
};

Outcome check(const QString& idiom, const QString& pinyin, const Readings& readings);

} // namespace PinyinRepair
