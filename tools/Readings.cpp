#include "Readings.h"

#include "PinyinSyllables.h"

#include <QFile>

namespace {

QString toneKey(QStringView syllable)
{
    return PinyinSyllables::letters(syllable) + QString::number(PinyinSyllables::tone(syllable));
}

} // namespace

bool Readings::load(const QString& path, QString* error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, in.errorString());
        return false;
    }
    m_readings.clear();
    m_tones.clear();
    const QList<QByteArray> lines = in.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const QList<uint> head = line.section(u'\t', 0, 0).toUcs4();
        const QStringList readings = line.section(u'\t', 1)
                                         .normalized(QString::NormalizationForm_C)
                                         .split(u' ', Qt::SkipEmptyParts);
        if (head.size() != 1 || readings.isEmpty()) {
            *error = QStringLiteral("%1 line %2: not a character, a tab and its readings")
                         .arg(path)
                         .arg(i + 1);
            return false;
        }
        m_readings.insert(head.front(), readings);
        for (const QString& r : readings)
            m_tones.insert(toneKey(r));
    }
    return true;
}

bool Readings::takesTone(QStringView syllable) const
{
    return m_tones.isEmpty() || PinyinSyllables::tone(syllable) == 0 ||
           m_tones.contains(toneKey(syllable));
}
