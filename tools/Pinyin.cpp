#include "Pinyin.h"

#include <QList>

namespace Pinyin {

QStringList syllables(const QString& written)
{
    const QString decomposed = written.normalized(QString::NormalizationForm_D);
    QStringList out;
    QString current;
    auto flush = [&] {
        if (!current.isEmpty())
            out.append(current);
        current.clear();
    };
    for (const char32_t cp : decomposed.toUcs4()) {
        if (cp >= U'A' && cp <= U'Z') {
            current += QChar(char16_t(cp - U'A' + U'a'));
        } else if (cp >= U'a' && cp <= U'z') {
            current += QChar(char16_t(cp));
        } else if (cp == U'\u0261' || cp == U'\u0251') {
            // The script forms of g and a that some typesetting uses in pinyin.
            current += cp == U'\u0261' ? QLatin1Char('g') : QLatin1Char('a');
        } else if (cp == U'\u0308') {
            // ü decomposes to u + diaeresis (then any tone mark): write it v.
            if (current.endsWith(QLatin1Char('u')))
                current.back() = QLatin1Char('v');
        } else if (QChar::category(cp) == QChar::Mark_NonSpacing) {
            // tone marks
        } else {
            flush();
        }
    }
    flush();
    return out;
}

QString searchForm(const QString& written)
{
    const QStringList parts = syllables(written);
    QString joined, initials;
    for (const QString& s : parts) {
        joined += s;
        initials += s.front();
    }
    return joined + QLatin1Char(' ') + initials;
}

} // namespace Pinyin
