#pragma once

#include <QHash>
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

private:
    QHash<char32_t, QStringList> m_readings;
};
