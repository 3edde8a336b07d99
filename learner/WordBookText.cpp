#include "WordBookText.h"

#include <QSet>

namespace WordBookText {

static QString field(QString text)
{
    text.replace(u'\t', u' ');
    text.replace(u"\r\n"_qs, u" "_qs);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text.trimmed();
}

QByteArray toAnkiTsv(const QList<Note>& notes)
{
    QString out = u"#separator:tab\n#html:false\n#columns:成语\t拼音\t解释\t例句\t出处\n"_qs;
    for (const Note& note : notes) {
        out += field(note.idiom) + u'\t' + field(note.pinyin) + u'\t' + field(note.explanation) +
               u'\t' + field(note.example) + u'\t' + field(note.source) + u'\n';
    }
    return out.toUtf8();
}

QList<Line> parseImport(const QByteArray& file)
{
    QByteArray bytes = file;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    QList<Line> result;
    QSet<QString> seen;
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        Line entry{fields.value(0).trimmed(), fields.value(1).trimmed()};
        if (entry.idiom.isEmpty())
            continue;
        const QString key = entry.idiom + u'\t' + entry.pinyin;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        result.append(entry);
    }
    return result;
}

} // namespace WordBookText
