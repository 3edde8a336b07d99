#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A list of idiom headwords, one a line (tools/headwords.js writes cnchar-idiom's), that an
// entry whose idiom lost a character is compared with.
class Headwords
{
public:
    // Reads `path`; false, with `error` set, when it cannot be read. A line the store could not
    // hold as an idiom (anything but Han characters, "，" and "、", or outside GBK) is left out.
    bool load(const QString& path, QString* error);

    bool isEmpty() const { return m_byCount.isEmpty(); }

    // The headwords of `count` Han characters that hold `characters` in their order, in the
    // list's order, each once.
    QStringList holding(const QList<char32_t>& characters, int count) const;

private:
    struct Word
    {
        QString text;
        QList<char32_t> characters; // its Han characters
    };
    QHash<int, QList<Word>> m_byCount; // by their number of Han characters
};
