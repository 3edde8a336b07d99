#include "GameRules.h"

#include "Gbk.h"

#include <utility>

namespace GameRules {

namespace {

// GBK bytes of the texts the rules use.
const QByteArray kBlank = QByteArrayLiteral("\xA1\xF8");                 // ▲
const QByteArray kFullWidthComma = QByteArrayLiteral("\xA3\xAC");        // ，
const QByteArray kIdeographicStop = QByteArrayLiteral("\xA1\xA3");       // 。
const QByteArray kRight = QByteArrayLiteral("\xA1\xBE\xA1\xCC\xA1\xBF"); // 【√】
const QByteArray kWrong = QByteArrayLiteral("\xA1\xBE\xA1\xC1\xA1\xBF"); // 【×】

// Replaces every whole character of `text` equal to `from` by `to`.
QByteArray replaceCharacter(QByteArrayView text, QByteArrayView from, QByteArrayView to)
{
    QByteArray out;
    out.reserve(text.size() + 8);
    const char* p = text.data();
    qsizetype left = text.size();
    while (left > 0) {
        const qsizetype n = Gbk::charLength(p, left);
        const QByteArrayView c(p, n);
        if (c == from)
            out.append(to);
        else
            out.append(c);
        p += n;
        left -= n;
    }
    return out;
}

} // namespace

QByteArray blank()
{
    return kBlank;
}

QList<QByteArray> characters(QByteArrayView text)
{
    QList<QByteArray> out;
    const char* p = text.data();
    qsizetype left = text.size();
    while (left > 0) {
        const qsizetype n = Gbk::charLength(p, left);
        out.append(QByteArray(p, n));
        p += n;
        left -= n;
    }
    return out;
}

bool isMark(QByteArrayView character)
{
    return character == "," || character == "." || character == kFullWidthComma ||
           character == kIdeographicStop;
}

QByteArray pickAt(QByteArrayView idiom, int p)
{
    const QList<QByteArray> chars = characters(idiom);
    const qsizetype length = chars.size();
    if (p < 1 || p > length)
        return {};
    if (!isMark(chars[p - 1]))
        return chars[p - 1];
    if (p + 1 <= length)
        return chars[p];
    if (p - 1 > 1)
        return chars[p - 2];
    return chars[p - 1];
}

QByteArray pick(QByteArrayView idiom, const RandomBelow& random)
{
    const qsizetype length = characters(idiom).size();
    if (length == 0)
        return {};
    return pickAt(idiom, random(int(length)) + 1);
}

QByteArray blankOut(QByteArrayView idiom, QByteArrayView character)
{
    if (character.isEmpty())
        return idiom.toByteArray();
    return replaceCharacter(idiom, character, kBlank);
}

QByteArray complete(QByteArrayView question, QByteArrayView answer)
{
    return replaceCharacter(question, kBlank, answer);
}

Pool poolOf(const QList<QByteArray>& picks)
{
    Pool pool;
    for (qsizetype i = 0; i < picks.size() && i < kQuestions; ++i)
        pool[i] = picks[i];
    return pool;
}

void shuffle(Pool& pool, const RandomBelow& random)
{
    for (int swap = 0; swap < kQuestions; ++swap) {
        const int a = random(kQuestions);
        const int b = random(kQuestions);
        std::swap(pool[a], pool[b]);
    }
}

QByteArray verdict(bool right, QByteArrayView removed)
{
    QByteArray out = right ? kRight : kWrong;
    out.append(removed);
    return out;
}

QByteArray score(int rightRows)
{
    return QByteArray::number(rightRows * 10);
}

} // namespace GameRules
