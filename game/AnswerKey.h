#pragma once

#include <QByteArray>
#include <QList>

// The answer key of the game: for each question row, the character removed from its idiom. It
// belongs to the game, not to one game window: empty when the program starts, its first n
// entries overwritten by each deal of n rows, read by verification and the question click.
namespace AnswerKey {

// Entry `row`; empty for a row never dealt and for a row outside the ten.
QByteArray entry(int row);

// Overwrites the first entries with the picks of a deal, in row order; entries past the
// picks keep what earlier deals left. Picks past the tenth are not kept.
void store(const QList<QByteArray>& picks);

} // namespace AnswerKey
