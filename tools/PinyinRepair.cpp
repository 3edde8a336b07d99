#include "PinyinRepair.h"

#include "Gbk.h"
#include "PinyinSyllables.h"
#include "Readings.h"

#include <QHash>
#include <algorithm>
#include <climits>
#include <utility>

namespace PinyinRepair {

namespace {

using PinyinSyllables::isSyllable;
using PinyinSyllables::letters;
using PinyinSyllables::tone;

struct Token
{
    QString text;
    qsizetype at = 0;     // where it starts in the written pinyin (NFC)
    qsizetype length = 0; // its length there
};

// What stands for one Han character once the syllables are matched to the characters.
enum class SlotKind
{
    Whole,     // a written syllable of its own
    Erhua,     // a written erhua syllable; the next slot is its 儿
    ErhuaTail, // the 儿 of the syllable before
    Piece,     // a part of syllables written together
    Filled     // nothing was written for it
};

struct Slot
{
    SlotKind kind;
    int token; // the written syllable it comes from; -1 for a filled one
    QString text;
};

QString character(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

bool isReading(const QString& syllable, const QStringList& readings)
{
    return std::any_of(readings.begin(), readings.end(), [&](const QString& r) {
        return r.compare(syllable, Qt::CaseInsensitive) == 0;
    });
}

bool spellsAReading(const QString& syllable, const QStringList& readings)
{
    const QString spelling = letters(syllable);
    return std::any_of(readings.begin(), readings.end(),
                       [&](const QString& r) { return letters(r) == spelling; });
}

// The one reading `syllable` is the beginning or end of, or nothing. A written mark must agree
// with the reading's tone; a stub without one most likely lost it with its cut-off end, so
// neutral-tone readings count only when no toned one fits.
QString cutShortOf(const QString& syllable, const QStringList& readings)
{
    const QString stub = letters(syllable);
    const int written = tone(syllable);
    if (stub.isEmpty() || written < 0 || spellsAReading(syllable, readings))
        return {};
    QStringList toned, neutral;
    for (const QString& r : readings) {
        const QString full = letters(r);
        if (!full.startsWith(stub) && !full.endsWith(stub))
            continue;
        const int t = tone(r);
        if (written != 0 && t != written)
            continue;
        QStringList& into = t > 0 ? toned : neutral;
        if (!into.contains(r))
            into.append(r);
    }
    const QStringList& fitting = toned.isEmpty() ? neutral : toned;
    return fitting.size() == 1 ? fitting.front() : QString();
}

// Letters changed, dropped, added or swapped to turn `a` into `b`.
int editDistance(const QString& a, const QString& b)
{
    const qsizetype n = a.size(), m = b.size();
    QList<QList<int>> d(n + 1, QList<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// The tones written on a syllable: each mark's, or a tone digit's; 0 when there is neither.
QList<int> writtenTones(const QString& syllable)
{
    QList<int> tones;
    for (const QChar c : syllable) {
        if (const int t = tone(QStringView(&c, 1)); t > 0)
            tones.append(t);
        else if (c >= u'1' && c <= u'4')
            tones.append(c.unicode() - u'0');
    }
    if (tones.isEmpty())
        tones.append(0);
    return tones;
}

// The reading closest to what was written, when one is closer than the rest.
QString closestOf(const QString& syllable, const QStringList& readings)
{
    const QString spelling = letters(syllable);
    int best = INT_MAX;
    QStringList nearest;
    for (const QString& r : readings) {
        const int d = editDistance(spelling, letters(r));
        if (d < best) {
            best = d;
            nearest = {r};
        } else if (d == best) {
            nearest.append(r);
        }
    }
    if (nearest.size() == 1)
        return nearest.front();
    const QList<int> tones = writtenTones(syllable);
    QStringList sameTone;
    for (const QString& r : nearest) {
        if (tones.contains(tone(r)))
            sameTone.append(r);
    }
    return sameTone.size() == 1 ? sameTone.front() : QString();
}

// Only pinyin letters and the marks of tones, ü and ê: a tone mark may be moved without
// guessing at anything else.
bool onlyPinyinLetters(const QString& syllable)
{
    for (const QChar c : syllable.normalized(QString::NormalizationForm_D)) {
        const char16_t u = c.unicode();
        const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
        const bool mark =
            u == 0x0304 || u == 0x0301 || u == 0x030C || u == 0x0300 || u == 0x0308 || u == 0x0302;
        if (!letter && !mark)
            return false;
    }
    return true;
}

struct Fix
{
    QString text;
    QString rule;    // empty when nothing changed
    QString failure; // empty when the syllable passes
};

// A syllable Mandarin has, but not in the tone written: the one reading of its character with
// the same letters and a full tone (a mark was written, so a neutral one is no answer). Not
// when another reading has the tone written: "zhóng" for 重 (zhòng chóng) may mean either.
Fix toneOf(const QString& written, const QStringList& readings)
{
    const QString spelling = letters(written);
    const int writtenTone = tone(written);
    QStringList sameLetters, sameTone;
    for (const QString& r : readings) {
        const int t = tone(r);
        if (t <= 0)
            continue;
        if (letters(r) == spelling) {
            if (!sameLetters.contains(r))
                sameLetters.append(r);
        } else if (t == writtenTone) {
            sameTone.append(r);
        }
    }
    if (sameLetters.size() == 1 && sameTone.isEmpty())
        return {sameLetters.front(), QStringLiteral("tone"), {}};
    const QString why = QStringLiteral("no syllable in this tone");
    if (readings.isEmpty())
        return {written, {}, why + QStringLiteral(", and no readings known")};
    if (sameLetters.isEmpty())
        return {written,
                {},
                why + QStringLiteral("; no full-tone reading has its letters (%1)")
                          .arg(readings.join(u' '))};
    if (sameLetters.size() > 1)
        return {written,
                {},
                why + QStringLiteral("; readings %1 have its letters").arg(sameLetters.join(u' '))};
    return {written,
            {},
            why + QStringLiteral("; %1 has its letters, %2 its tone")
                      .arg(sameLetters.front(), sameTone.join(u' '))};
}

Fix fixSyllable(const QString& written, const QStringList& readings, const Readings& table)
{
    if (isReading(written, readings))
        return {written, {}, {}};
    if (isSyllable(written)) {
        const QString cut = cutShortOf(written, readings);
        if (!cut.isEmpty())
            return {cut, QStringLiteral("cut-short"), {}};
        return table.takesTone(written) ? Fix{written, {}, {}} : toneOf(written, readings);
    }
    QString moved;
    if (const int t = tone(written); t > 0 && onlyPinyinLetters(written)) {
        moved = PinyinSyllables::withTone(letters(written), t);
        if (!isSyllable(moved) || !table.takesTone(moved))
            moved.clear();
    }
    if (!moved.isEmpty() && (readings.isEmpty() || isReading(moved, readings)))
        return {moved, QStringLiteral("tone-mark"), {}};
    if (const QString cut = cutShortOf(written, readings); !cut.isEmpty())
        return {cut, QStringLiteral("cut-short"), {}};
    if (const QString nearest = closestOf(written, readings); !nearest.isEmpty())
        return {nearest, QStringLiteral("closest-reading"), {}};
    if (!moved.isEmpty())
        return {moved, QStringLiteral("tone-mark"), {}};
    if (readings.isEmpty())
        return {written, {}, QStringLiteral("no syllable, and no readings known")};
    return {written,
            {},
            QStringLiteral("no syllable; readings %1 fit as well").arg(readings.join(u' '))};
}

// How the written syllables may be matched to the Han characters.
enum class Matching
{
    // Every written syllable may stand for any one character; only syllables written
    // together (and erhua) change the count.
    Loose,
    // Every written syllable spells a reading of its character or is cut short of one, and
    // a character with a single reading may have had its syllable left out.
    Strict,
    // As Strict, but any character may have lost its syllable: where the doubt lies.
    Diagnose
};

class Aligner
{
public:
    struct Ways
    {
        int filled = -1;         // syllables put in; -1 when there is no way at all
        QList<QList<Slot>> ways; // the distinct ways with that many, at most two
    };

    Aligner(const QList<Token>& tokens, const QList<QStringList>& readings,
            const QList<char32_t>& characters, Matching matching)
        : m_tokens(tokens), m_readings(readings), m_characters(characters),
          m_strict(matching != Matching::Loose), m_fillAny(matching == Matching::Diagnose)
    {}

    Ways solve(int i, int j)
    {
        const int key = i * int(m_characters.size() + 1) + j;
        if (const auto found = m_memo.constFind(key); found != m_memo.constEnd())
            return *found;
        Ways result;
        const int tokenCount = int(m_tokens.size()), charCount = int(m_characters.size());
        if (i == tokenCount && j == charCount) {
            result.filled = 0;
            result.ways = {QList<Slot>()};
        }
        if (i < tokenCount && j < charCount) {
            const QString& text = m_tokens[i].text;
            if (!m_strict || explains(text, j))
                add(result, {{SlotKind::Whole, i, text}}, 0, i + 1, j + 1);
            if (j + 1 < charCount && m_characters[j + 1] == U'儿' && !isSyllable(text) &&
                text.endsWith(u'r', Qt::CaseInsensitive)) {
                const QString stem = text.chopped(1);
                if (isSyllable(stem) && (!m_strict || explains(stem, j)))
                    add(result, {{SlotKind::Erhua, i, text}, {SlotKind::ErhuaTail, i, {}}}, 0,
                        i + 1, j + 2);
            }
            if (!isSyllable(text)) {
                QList<QList<Slot>> splits;
                QList<Slot> pieces;
                splitInto(i, 0, j, pieces, splits);
                for (const QList<Slot>& s : splits)
                    add(result, s, 0, i + 1, j + int(s.size()));
            }
        }
        if (m_strict && j < charCount &&
            (m_readings[j].size() == 1 || (m_fillAny && !m_readings[j].isEmpty())))
            add(result, {{SlotKind::Filled, -1, m_readings[j].join(u'/')}}, 1, i, j + 1);
        m_memo.insert(key, result);
        return result;
    }

private:
    bool explains(const QString& syllable, int j) const
    {
        return spellsAReading(syllable, m_readings[j]) ||
               !cutShortOf(syllable, m_readings[j]).isEmpty();
    }

    // Every way of parting token i, from `at` on, into real syllables that spell readings of
    // the characters from j on; two parts at least.
    void splitInto(int i, qsizetype at, int j, QList<Slot>& pieces, QList<QList<Slot>>& out)
    {
        const QString& text = m_tokens[i].text;
        if (at == text.size()) {
            if (pieces.size() >= 2)
                out.append(pieces);
            return;
        }
        if (j >= m_characters.size())
            return;
        for (qsizetype length = 1; at + length <= text.size() && length <= 6; ++length) {
            const QString piece = text.mid(at, length);
            if (!isSyllable(piece) || !spellsAReading(piece, m_readings[j]))
                continue;
            pieces.append({SlotKind::Piece, i, piece});
            splitInto(i, at + length, j + 1, pieces, out);
            pieces.removeLast();
        }
    }

    static QString signature(const QList<Slot>& matched)
    {
        QStringList texts;
        for (const Slot& s : matched)
            texts.append(s.text);
        return texts.join(u'|');
    }

    void add(Ways& result, const QList<Slot>& head, int filled, int nextToken, int nextChar)
    {
        const Ways rest = solve(nextToken, nextChar);
        if (rest.filled < 0)
            return;
        const int total = filled + rest.filled;
        if (result.filled >= 0 && total > result.filled)
            return;
        if (result.filled < 0 || total < result.filled) {
            result.filled = total;
            result.ways.clear();
        }
        for (const QList<Slot>& tail : rest.ways) {
            if (result.ways.size() >= 2)
                return;
            const QList<Slot> way = head + tail;
            const QString sig = signature(way);
            const bool known =
                std::any_of(result.ways.begin(), result.ways.end(),
                            [&](const QList<Slot>& w) { return signature(w) == sig; });
            if (!known)
                result.ways.append(way);
        }
    }

    const QList<Token>& m_tokens;
    const QList<QStringList>& m_readings;
    const QList<char32_t>& m_characters;
    bool m_strict;
    bool m_fillAny;
    QHash<int, Ways> m_memo;
};

QList<Token> tokensOf(const QString& text)
{
    QList<Token> tokens;
    qsizetype from = 0;
    for (const QString& s : PinyinSyllables::split(text)) {
        // A syllable starts with its first letter, so its next occurrence is the syllable.
        const qsizetype at = text.indexOf(s, from);
        tokens.append({s, at, s.size()});
        from = at + s.size();
    }
    return tokens;
}

QString withCaseOf(const QString& written, QString replacement)
{
    if (!written.isEmpty() && written.front().isUpper() && !replacement.isEmpty())
        replacement.front() = replacement.front().toUpper();
    return replacement;
}

// Why the syllables could not be matched to the characters.
QString countFailure(const QList<Token>& tokens, const QList<QStringList>& readings,
                     const QList<char32_t>& characters, bool severalWays)
{
    const QString counts =
        QStringLiteral("%1 syllables for %2 characters").arg(tokens.size()).arg(characters.size());
    if (severalWays)
        return counts + QStringLiteral(", matched more than one way");
    if (tokens.size() > characters.size())
        return counts + QStringLiteral(": the idiom may have lost a character");
    const Aligner::Ways doubt =
        Aligner(tokens, readings, characters, Matching::Diagnose).solve(0, 0);
    if (doubt.filled < 0 || doubt.ways.size() != 1)
        return counts + QStringLiteral(": no one place for the missing syllables");
    QStringList inDoubt;
    for (qsizetype j = 0; j < characters.size(); ++j) {
        const Slot& slot = doubt.ways.front()[j];
        if (slot.kind == SlotKind::Filled && readings[j].size() > 1)
            inDoubt.append(character(characters[j]) + u' ' + readings[j].join(u' '));
    }
    return counts +
           QStringLiteral(": a missing syllable's character has more than one reading (%1)")
               .arg(inDoubt.join(QStringLiteral(", ")));
}

// The data set lost its full-width colons (GBK A3 BA) and opening quotes (A1 B0) as bytes: the
// mark's two bytes were cut out wherever they stood, also across a character boundary, so
// X P | Q Y became the one character X Y (牛吼 C5A3 BAF0 became 硼 C5F0). Only these two marks
// are tried: one of them explains every idiom of the data that lost a character, and with other
// marks allowed many of those split in more than one way that fits.
const QStringList kCutMarks = {QStringLiteral("："), QStringLiteral("“")};

// The two characters `c` was before a mark was cut out of them, for each mark that leaves two
// Han characters.
QList<std::pair<char32_t, char32_t>> splitsOf(char32_t c)
{
    QList<std::pair<char32_t, char32_t>> splits;
    const QByteArray xy = Gbk::fromUnicode(character(c));
    if (xy.size() != 2)
        return splits;
    const auto decoded = [](char lead, char trail) {
        return Gbk::toUnicode(QByteArray(1, lead) + trail).toUcs4();
    };
    for (const QString& mark : kCutMarks) {
        const QByteArray pq = Gbk::fromUnicode(mark);
        const QList<uint> first = decoded(xy[0], pq[0]), second = decoded(pq[1], xy[1]);
        if (first.size() == 1 && second.size() == 1 && PinyinSyllables::isHan(first[0]) &&
            PinyinSyllables::isHan(second[0]))
            splits.append({first[0], second[0]});
    }
    return splits;
}

// The idioms `idiom` may have been before a mark was cut out of one of its characters: those
// whose two characters at the split read the two syllables there (the pinyin has one syllable
// for each of their characters), in their tones or, when no split fits so, in their letters
// (the data writes neutral tones: 糊 hu). Two splits may give the same idiom, which is one
// answer: 福韩 is 福海韩 split at either character.
QStringList restoredIdioms(const QString& idiom, const QList<Token>& tokens, const Readings& table)
{
    const QList<uint> text = idiom.toUcs4();
    QStringList toned, byLetters;
    for (qsizetype at = 0, j = 0; at < text.size(); ++at) {
        if (!PinyinSyllables::isHan(text[at]))
            continue;
        const QString& s1 = tokens[j].text;
        const QString& s2 = tokens[j + 1].text;
        for (const auto& [first, second] : splitsOf(text[at])) {
            const QStringList r1 = table.of(first), r2 = table.of(second);
            QString restored;
            for (qsizetype k = 0; k < text.size(); ++k)
                restored += k == at ? character(first) + character(second) : character(text[k]);
            if (isReading(s1, r1) && isReading(s2, r2))
                toned.append(restored);
            else if (spellsAReading(s1, r1) && spellsAReading(s2, r2))
                byLetters.append(restored);
        }
        ++j;
    }
    toned.removeDuplicates();
    byLetters.removeDuplicates();
    return toned.isEmpty() ? byLetters : toned;
}

} // namespace

Outcome check(const QString& idiom, const QString& pinyin, const Readings& table)
{
    Outcome outcome{idiom, pinyin, {}, {}};
    const QString text = pinyin.normalized(QString::NormalizationForm_C);
    QList<Token> tokens = tokensOf(text);
    if (tokens.isEmpty()) {
        outcome.failure = QStringLiteral("no pinyin");
        return outcome;
    }
    for (Token& t : tokens) {
        QString fixed = t.text;
        fixed.replace(QChar(0x0261), u'g').replace(QChar(0x0251), u'a');
        if (fixed != t.text) {
            outcome.changes.append({QStringLiteral("script-letter"), t.text + u'→' + fixed});
            t.text = fixed;
        }
    }

    const QList<char32_t> characters = PinyinSyllables::hanCharacters(idiom);
    QList<QStringList> readings;
    for (const char32_t c : characters)
        readings.append(table.of(c));

    Aligner::Ways match = Aligner(tokens, readings, characters, Matching::Loose).solve(0, 0);
    if (match.filled < 0)
        match = Aligner(tokens, readings, characters, Matching::Strict).solve(0, 0);
    if (match.filled < 0 || match.ways.size() != 1) {
        outcome.failure = countFailure(tokens, readings, characters, match.ways.size() > 1);
        // One syllable more than characters, as the check counts them ("，" has none).
        if (tokens.size() == characters.size() + 1 && !table.isEmpty()) {
            const QStringList fitting = restoredIdioms(idiom, tokens, table);
            if (fitting.size() == 1) {
                Outcome restored = check(fitting.front(), pinyin, table);
                if (restored.failure.isEmpty()) {
                    restored.changes.prepend(
                        {QStringLiteral("lost-character"), idiom + u'→' + fitting.front()});
                    return restored;
                }
                outcome.failure += QStringLiteral(" (%1 fits, but fails the check: %2)")
                                       .arg(fitting.front(), restored.failure);
            } else {
                outcome.failure += fitting.isEmpty()
                                       ? QStringLiteral(" (no split at a cut-out ： or “ fits)")
                                       : QStringLiteral(" (%1 fit)").arg(fitting.join(u' '));
            }
        }
    }

    // The new text of each written syllable, with the syllables put in before or after it.
    QList<QStringList> parts(tokens.size());
    if (!outcome.failure.isEmpty()) {
        for (qsizetype i = 0; i < tokens.size(); ++i)
            parts[i] = {tokens[i].text};
    } else {
        const QList<Slot>& matched = match.ways.front();
        QList<QStringList> pieces(tokens.size());
        QList<bool> split(tokens.size(), false);
        for (const Slot& slot : matched) {
            if (slot.kind == SlotKind::Piece)
                pieces[slot.token].append(slot.text);
        }
        QStringList failures;
        QStringList pending; // put in, waiting for the next written syllable
        for (qsizetype j = 0; j < matched.size(); ++j) {
            const Slot& slot = matched[j];
            const QString ch = character(characters[j]);
            if (slot.kind == SlotKind::Filled) {
                outcome.changes.append(
                    {QStringLiteral("missing-syllable"), ch + QStringLiteral(" +") + slot.text});
                pending.append(slot.text);
                continue;
            }
            if (slot.kind == SlotKind::ErhuaTail)
                continue;
            QStringList& into = parts[slot.token];
            into += std::exchange(pending, {});
            if (slot.kind == SlotKind::Whole) {
                const Fix fix = fixSyllable(slot.text, readings[j], table);
                const QString now = withCaseOf(slot.text, fix.text);
                if (!fix.rule.isEmpty())
                    outcome.changes.append({fix.rule, ch + u' ' + slot.text + u'→' + now});
                if (!fix.failure.isEmpty())
                    failures.append(ch + u' ' + slot.text + QStringLiteral(": ") + fix.failure);
                into.append(now);
            } else if (slot.kind == SlotKind::Piece && !std::exchange(split[slot.token], true)) {
                const QStringList& all = pieces[slot.token];
                outcome.changes.append(
                    {QStringLiteral("split"), tokens[slot.token].text + u'→' + all.join(u' ')});
                into += all;
            } else if (slot.kind == SlotKind::Erhua) {
                into.append(slot.text);
            }
        }
        parts.back() += pending;
        outcome.failure = failures.join(QStringLiteral("; "));
    }

    if (outcome.changes.isEmpty())
        return outcome;
    QString rebuilt = text;
    for (qsizetype i = tokens.size() - 1; i >= 0; --i)
        rebuilt.replace(tokens[i].at, tokens[i].length, parts[i].join(u' '));
    outcome.pinyin = rebuilt;
    return outcome;
}

} // namespace PinyinRepair
