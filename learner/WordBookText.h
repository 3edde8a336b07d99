#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The word book as text: exported as tab-separated notes Anki imports (UTF-8, one note a
// line), read back from such a file or from a plain list of idioms, one a line.
namespace WordBookText {

struct Note
{
    QString idiom;
    QString pinyin;
    QString explanation;
    QString example;
    QString source;
};

// The whole file: Anki's header lines, then one line per note. Tabs and line breaks inside a
// field become spaces, so every note stays one line of five fields.
QByteArray toAnkiTsv(const QList<Note>& notes);

struct Line
{
    QString idiom;
    QString pinyin; // empty when the line names the idiom only
};

// The idioms a file names, in its order, each once: the first field of each line (the
// second, when present, is its pinyin). Blank lines and Anki's "#" header lines are skipped;
// a byte-order mark and CR LF line ends are accepted.
QList<Line> parseImport(const QByteArray& file);

} // namespace WordBookText
