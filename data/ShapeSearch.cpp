#include "ShapeSearch.h"

namespace {

const QStringList kWords = {QStringLiteral("AABB"), QStringLiteral("ABAB"), QStringLiteral("ABAC"),
                            QStringLiteral("ABCC"), QStringLiteral("AABC"), QStringLiteral("ABCA"),
                            QStringLiteral("ABBC")};

bool isOneCharacterMark(QChar c)
{
    return c == u'?' || c == u'？' || c == u'*' || c == u'＊';
}

// "like" without case folding, over whole characters: "_" one, "%" any run. On a mismatch
// the last "%" takes one character more, so no pattern of many "%" costs more than the
// pattern's length times the idiom's.
bool like(const QList<uint>& pattern, const QList<uint>& text)
{
    qsizetype p = 0, t = 0, star = -1, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == uint('%')) {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == uint('_') || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == uint('%'))
        ++p;
    return p == pattern.size();
}

bool hasWordShape(const QString& word, const QList<uint>& idiom)
{
    if (idiom.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            if ((word[i] == word[j]) != (idiom[i] == idiom[j]))
                return false;
        }
    }
    return true;
}

} // namespace

ShapeSearch::Pattern ShapeSearch::parse(const QString& typed)
{
    Pattern out;
    QString text;
    for (QChar c : typed) {
        if (!c.isSpace())
            text.append(c);
    }
    const QString folded = text.normalized(QString::NormalizationForm_KC).toUpper();
    if (kWords.contains(folded)) {
        out.kind = Pattern::Kind::Word;
        out.text = folded;
        return out;
    }
    bool marked = false;
    for (QChar& c : text) {
        if (isOneCharacterMark(c)) {
            c = u'_';
            marked = true;
        }
    }
    if (marked) {
        out.kind = Pattern::Kind::Wildcards;
        out.text = text;
    }
    return out;
}

bool ShapeSearch::matches(const Pattern& pattern, const QString& idiom)
{
    switch (pattern.kind) {
    case Pattern::Kind::Wildcards:
        return like(pattern.text.toUcs4(), idiom.toUcs4());
    case Pattern::Kind::Word:
        return hasWordShape(pattern.text, idiom.toUcs4());
    case Pattern::Kind::None:
        break;
    }
    return false;
}

QStringList ShapeSearch::filter(const Pattern& pattern, const QStringList& idioms)
{
    QStringList out;
    if (pattern.kind == Pattern::Kind::None)
        return out;
    const QList<uint> shape = pattern.text.toUcs4();
    for (const QString& idiom : idioms) {
        const QList<uint> chars = idiom.toUcs4();
        if (pattern.kind == Pattern::Kind::Word ? hasWordShape(pattern.text, chars)
                                                : like(shape, chars))
            out.append(idiom);
    }
    return out;
}
