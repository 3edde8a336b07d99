#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <functional>

// The rules of the fill-in-the-blank game, over GB18030/GBK byte text. Characters are taken
// and compared whole: a two- or four-byte character is never split, and nothing matches across
// a character boundary.
namespace GameRules {

// Questions dealt per game: rows of the question column, answer key entries and pool entries.
inline constexpr int kQuestions = 10;

// A draw from the game's pseudo-random generator: a number from 0 to n - 1.
using RandomBelow = std::function<int(int n)>;

// The ten candidate characters, in pool order; unfilled entries are empty.
using Pool = std::array<QByteArray, kQuestions>;

// "▲", which stands wherever the removed character stood.
QByteArray blank();

// The characters of `text`, in order.
QList<QByteArray> characters(QByteArrayView text);

// True for the four marks a pick moves off: "," "." "，" "。".
bool isMark(QByteArrayView character);

// The character picked at position p (1-based) of `idiom`. On a mark the pick moves to the
// character after it; a mark at the end moves to the character before it when p - 1 > 1;
// otherwise the mark stays picked. Empty when p is outside the idiom.
QByteArray pickAt(QByteArrayView idiom, int p);

// Picks a position uniformly from 1 to the idiom's length and applies pickAt(). An empty idiom
// gives an empty pick and draws nothing.
QByteArray pick(QByteArrayView idiom, const RandomBelow& random);

// `idiom` with every occurrence of `character` replaced by the blank. An empty character
// leaves the idiom as it is.
QByteArray blankOut(QByteArrayView idiom, QByteArrayView character);

// `question` with every blank replaced by `answer`; an empty answer removes the blanks.
QByteArray complete(QByteArrayView question, QByteArrayView answer);

// The pool of a deal: the first ten picks in deal order, the rest empty.
Pool poolOf(const QList<QByteArray>& picks);

// Ten swaps: each draws a, then b, from 0 to 9 and exchanges entries a and b.
void shuffle(Pool& pool, const RandomBelow& random);

// The verdict column's text for a row: "【√】" or "【×】" followed by the removed character.
QByteArray verdict(bool right, QByteArrayView removed);

// The score shown for a number of right rows: ten points each, in decimal.
QByteArray score(int rightRows);

} // namespace GameRules
