#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The readings of each Han character, from a table with one character a line: the character,
// a tab, then its readings in tone-marked pinyin separated by blanks ("家\tjiā jia jie").
class Readings
{
public:
    // Reads `path`; false, with `error` set, when it cannot be read or a line is malformed.
    bool load(const QString& path, QString* error);

    // The character's readings, in the table's order; empty for a character it lacks.
    QStringList of(char32_t character) const { return m_readings.value(character); }
    bool isEmpty() const { return m_readings.isEmpty(); }

    // Whether Mandarin has `syllable` in its tone, as far as the table tells: some character
    // reads its letters in that tone. The neutral tone always counts, and so does every tone
    // while the table is empty.
    bool takesTone(QStringView syllable) const;

private:
    QHash<char32_t, QStringList> m_readings;
    QSet<QString> m_tones; // the letters and tone of every reading, "deng1"
};
