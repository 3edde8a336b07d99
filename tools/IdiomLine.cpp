#include "IdiomLine.h"

#include "PinyinSyllables.h"

#include <QList>
#include <QStringView>

namespace IdiomLine {

namespace {

const QString kLabels[4] = {QStringLiteral("拼音："), QStringLiteral("释义："),
                            QStringLiteral("出处："), QStringLiteral("示例：")};

bool isBlank(QChar c)
{
    return c.isSpace() || c == QChar(0x3000);
}

QString trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

} // namespace

bool isIdiomText(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const char32_t cp : text.toUcs4()) {
        if (cp == U'，' || cp == U'、')
            continue;
        if (!PinyinSyllables::isHan(cp))
            return false;
    }
    return true;
}

std::optional<IdiomRecord> parse(const QString& rawLine)
{
    QStringView line(rawLine);
    while (!line.isEmpty() &&
           (line.back() == QLatin1Char('\r') || line.back() == QLatin1Char('\n')))
        line.chop(1);

    // Labels in their order; each is looked for after the one before it.
    qsizetype start[4], end[4];
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        start[i] = line.indexOf(kLabels[i], from);
        if (start[i] >= 0) {
            end[i] = start[i] + kLabels[i].size();
            from = end[i];
        }
    }
    auto fieldOf = [&](int i) -> QString {
        if (start[i] < 0)
            return {};
        qsizetype stop = line.size();
        for (int j = i + 1; j < 4; ++j)
            if (start[j] >= 0) {
                stop = start[j];
                break;
            }
        return line.mid(end[i], stop - end[i]).toString();
    };

    qsizetype firstLabel = line.size();
    for (int i = 0; i < 4; ++i)
        if (start[i] >= 0) {
            firstLabel = start[i];
            break;
        }
    // The idiom runs up to the first blank or label; a line whose pinyin lost its label has
    // the pinyin glued on and fails the check below.
    QStringView head = line.left(firstLabel);
    qsizetype b = 0;
    while (b < head.size() && isBlank(head[b]))
        ++b;
    qsizetype e = b;
    while (e < head.size() && !isBlank(head[e]))
        ++e;
    const QString idiom = head.mid(b, e - b).toString();
    if (!isIdiomText(idiom) || !trimBlanks(head.mid(e)).isEmpty())
        return std::nullopt;

    return IdiomRecord{idiom, fieldOf(0), fieldOf(1), fieldOf(2), fieldOf(3)};
}

} // namespace IdiomLine
