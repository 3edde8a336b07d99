#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A text as the synthesiser is to read it, with the way back to the text it was made from.
struct SpokenText
{
    // The spoken [spokenFrom, spokenTo) stands for the source's [from, to); between spans the
    // text is copied unchanged.
    struct Span
    {
        qsizetype spokenFrom = 0;
        qsizetype spokenTo = 0;
        qsizetype from = 0;
        qsizetype to = 0;
    };

    QString text;
    QList<Span> spans; // in order, not overlapping

    // The source position of a position of `text` where something begins, or ends: inside a
    // span, the start or the end of what the span stands for.
    qsizetype sourceStart(qsizetype spoken) const { return toSource(spoken, false); }
    qsizetype sourceEnd(qsizetype spoken) const { return toSource(spoken, true); }

private:
    qsizetype toSource(qsizetype spoken, bool end) const;
};

// How words are pronounced: a written form (an idiom) and its pinyin with tone marks. The
// synthesiser is given the pinyin in place of the characters, so that a character with more
// than one reading is read as the dictionary says.
class SpeechLexicon
{
public:
    // Adds `written`, to be read as `pinyin`. A pinyin that is not one real syllable for each
    // Han character is left out, and so is a written form that is already there (the first
    // reading stays). Returns whether it was added.
    bool add(const QString& written, const QString& pinyin);
    qsizetype size() const { return m_readings.size(); }
    bool isEmpty() const { return m_readings.isEmpty(); }

    // `text` with every word of the lexicon replaced by its pinyin, longest match first, left
    // to right; the syllables are set apart by blanks.
    SpokenText apply(const QString& text) const;

private:
    QHash<QString, QString> m_readings; // the syllables, one blank between each two
    // For each first UTF-16 unit, a bit for each length (up to 63) a word starting with it has.
    QHash<char16_t, quint64> m_lengths;
};
