#include "SpeechLexicon.h"

#include "PinyinSyllables.h"

#include <QChar>
#include <algorithm>

namespace {

constexpr qsizetype LongestWord = 63;

bool isHanAt(const QString& text, qsizetype i, qsizetype* width)
{
    char32_t c = text[i].unicode();
    *width = 1;
    if (text[i].isHighSurrogate() && i + 1 < text.size()) {
        c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        *width = 2;
    }
    return PinyinSyllables::isHan(c);
}

} // namespace

qsizetype SpokenText::toSource(qsizetype spoken, bool end) const
{
    // The first span that ends after `spoken`.
    const auto next = std::upper_bound(spans.begin(), spans.end(), spoken,
                                       [](qsizetype p, const Span& s) { return p < s.spokenTo; });
    if (next != spans.end() && next->spokenFrom < spoken)
        return end ? next->to : next->from;
    if (next == spans.begin())
        return spoken;
    const Span& before = *(next - 1);
    return before.to + (spoken - before.spokenTo);
}

bool SpeechLexicon::add(const QString& written, const QString& pinyin)
{
    if (written.isEmpty() || written.size() > LongestWord || m_readings.contains(written))
        return false;
    const QStringList syllables = PinyinSyllables::readingOf(written, pinyin);
    if (syllables.isEmpty())
        return false;
    m_readings.insert(written, syllables.join(u' '));
    m_lengths[written[0].unicode()] |= quint64(1) << written.size();
    return true;
}

SpokenText SpeechLexicon::apply(const QString& text) const
{
    SpokenText spoken;
    spoken.text.reserve(text.size() * 3);
    qsizetype i = 0;
    while (i < text.size()) {
        const quint64 lengths = m_lengths.value(text[i].unicode());
        const QString* syllables = nullptr;
        qsizetype length = std::min(LongestWord, text.size() - i);
        for (; lengths && length > 0; --length) {
            if (lengths & (quint64(1) << length)) {
                const auto found = m_readings.constFind(text.mid(i, length));
                if (found != m_readings.constEnd()) {
                    syllables = &found.value();
                    break;
                }
            }
        }
        if (!syllables) {
            spoken.text.append(text[i]);
            ++i;
            continue;
        }
        // One span for each Han character and its syllable; punctuation inside the word is
        // copied. The blanks around the pinyin belong to the first and the last span.
        qsizetype next = 0; // the next syllable in *syllables
        for (qsizetype k = i; k < i + length;) {
            qsizetype width = 1;
            if (!isHanAt(text, k, &width)) {
                spoken.text.append(text[k]);
                ++k;
                continue;
            }
            SpokenText::Span span;
            span.spokenFrom = spoken.text.size();
            span.from = k;
            span.to = k + width;
            if (next == 0)
                spoken.text.append(u' ');
            qsizetype end = syllables->indexOf(u' ', next);
            if (end < 0)
                end = syllables->size();
            spoken.text.append(QStringView(*syllables).mid(next, end - next));
            spoken.text.append(u' ');
            next = end + 1;
            span.spokenTo = spoken.text.size();
            spoken.spans.append(span);
            k += width;
        }
        i += length;
    }
    return spoken;
}
