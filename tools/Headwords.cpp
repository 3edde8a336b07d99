#include "Headwords.h"

#include "Gbk.h"
#include "IdiomLine.h"
#include "PinyinSyllables.h"

#include <QFile>
#include <QSet>

namespace {

bool holdsInOrder(const QList<char32_t>& word, const QList<char32_t>& characters)
{
    qsizetype at = 0;
    for (const char32_t c : word) {
        if (at < characters.size() && characters[at] == c)
            ++at;
    }
    return at == characters.size();
}

} // namespace

bool Headwords::load(const QString& path, QString* error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, in.errorString());
        return false;
    }
    m_byCount.clear();
    QSet<QString> seen;
    for (const QByteArray& line : in.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!IdiomLine::isIdiomText(text) || !Gbk::isGbk(text) || seen.contains(text))
            continue;
        seen.insert(text);
        const QList<char32_t> characters = PinyinSyllables::hanCharacters(text);
        m_byCount[int(characters.size())].append({text, characters});
    }
    return true;
}

QStringList Headwords::holding(const QList<char32_t>& characters, int count) const
{
    QStringList found;
    for (const Word& w : m_byCount.value(count)) {
        if (holdsInOrder(w.characters, characters))
            found.append(w.text);
    }
    return found;
}
