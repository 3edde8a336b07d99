#include "SearchText.h"

#include "PinyinSyllables.h"

namespace {

bool isDroppedInPinyin(QChar c)
{
    return c.isSpace() || c == u'\'' || c == u'’' || c == u'‘' || c == u'-' || c == u'‐' ||
           c == u'‑';
}

} // namespace

QString SearchText::pinyin(const QString& typed)
{
    // NFKC makes full-width letters, digits and blanks plain; NFD then parts each toned vowel
    // into its letter and its mark, and ü into u and its diaeresis.
    const QString parted = typed.normalized(QString::NormalizationForm_KC)
                               .normalized(QString::NormalizationForm_D)
                               .toLower();
    QString out;
    out.reserve(parted.size());
    for (qsizetype i = 0; i < parted.size(); ++i) {
        const QChar c = parted[i];
        if (isDroppedInPinyin(c))
            continue;
        if (c == u'\u0308') { // the diaeresis of ü (ǖǘǚǜ carry a tone mark after it)
            if (out.endsWith(u'u'))
                out.back() = u'v';
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing)
            continue; // a tone mark
        if (c == u':' && out.endsWith(u'u')) {
            out.back() = u'v';
            continue;
        }
        if (c >= u'1' && c <= u'5' && !out.isEmpty() && out.back().isLetter())
            continue; // a tone number
        out.append(c);
    }
    return out;
}

QString SearchText::characters(const QString& typed,
                               const std::function<QString(const QString&)>& toSimplified)
{
    QString text;
    text.reserve(typed.size());
    for (QChar c : typed) {
        if (!c.isSpace())
            text.append(c);
    }
    return toSimplified && hasHan(text) ? toSimplified(text) : text;
}

bool SearchText::hasHan(const QString& text)
{
    return PinyinSyllables::hanCount(text) > 0;
}

QString SearchText::withoutControls(const QString& typed)
{
    QString out;
    out.reserve(typed.size());
    for (QChar c : typed) {
        if (c.category() != QChar::Other_Control)
            out.append(c);
    }
    return out;
}

bool SearchText::hasLatinLetter(const QString& text)
{
    for (QChar c : text) {
        if (c.isLetter() && c.script() == QChar::Script_Latin)
            return true;
    }
    return false;
}

SearchText::Try SearchText::secondTry(const QString& typed, bool pinyinMode,
                                      const std::function<QString(const QString&)>& toSimplified)
{
    const bool han = hasHan(typed);
    const bool latin = hasLatinLetter(typed);
    Try next;
    next.pinyinSearch = pinyinMode ? !(han && !latin) : (latin && !han);
    next.text = next.pinyinSearch ? pinyin(typed) : characters(typed, toSimplified);
    if (next.pinyinSearch == pinyinMode && next.text == typed)
        next.text.clear(); // the same search again would find nothing again
    return next;
}
