#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

// A converter is made for each call: they are cheap, and ICU's GB18030 converter carries a
// lone surrogate over into the next call when one is reused.

// Lone surrogates have no GB18030 form; they become U+FFFD first.
static QString withoutLoneSurrogates(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray fromUnicode(QStringView text)
{
    if (text.isEmpty())
        return {};
    QStringEncoder enc("GB18030", QStringConverter::Flag::Stateless);
    if (!text.isValidUtf16())
        return enc.encode(withoutLoneSurrogates(text));
    return enc.encode(text);
}

QString toUnicode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    QStringDecoder dec("GB18030", QStringConverter::Flag::Stateless);
    return dec.decode(bytes);
}

qsizetype charLength(const char* p, qsizetype available)
{
    if (available <= 0)
        return 0;
    const auto b0 = static_cast<unsigned char>(p[0]);
    if (b0 < 0x81 || b0 == 0xFF || available < 2)
        return 1;
    const auto b1 = static_cast<unsigned char>(p[1]);
    if (b1 >= 0x30 && b1 <= 0x39)
        return available >= 4 ? 4 : available;
    return 2;
}

bool roundTrips(QStringView text)
{
    if (!text.isValidUtf16())
        return false;
    QStringEncoder enc("GB18030", QStringConverter::Flag::Stateless);
    const QByteArray bytes = enc.encode(text);
    if (enc.hasError())
        return false;
    QStringDecoder dec("GB18030", QStringConverter::Flag::Stateless);
    const QString back = dec.decode(bytes);
    return !dec.hasError() && back == text;
}

bool isGbk(QStringView text)
{
    if (!roundTrips(text))
        return false;
    const QByteArray bytes = fromUnicode(text);
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = charLength(bytes.constData() + i, bytes.size() - i);
        if (n == 4)
            return false;
        i += n;
    }
    return true;
}

} // namespace Gbk
