#pragma once

#include <QList>
#include <QString>

class SpeechLexicon;

// The idioms of the store as the speech engine is to pronounce them.
namespace Pronunciations {

struct Row
{
    QString idiom;
    QString pinyin;
};

// Every idiom of the store named by `connectionString` with its pinyin, in store order. Opens
// a connection of its own, so it may run on any thread. Raises EDatabaseError when the store
// cannot be read.
QList<Row> rows(const QString& connectionString);
// The same as a lexicon: the first of a repeated idiom, and only intact pinyin.
SpeechLexicon read(const QString& connectionString);

// Hands the speech engine the store as its lexicon; the engine reads it on its own thread
// before the first Mandarin text, so start-up does not wait for it.
void useStore(const QString& connectionString);

} // namespace Pronunciations
