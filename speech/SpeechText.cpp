#include "SpeechText.h"

#include "Gbk.h"

namespace SpeechText {

QByteArray chineseTag()
{
    return QByteArrayLiteral("<LANG LANGID=\"804\">");
}

QByteArray englishTag()
{
    return QByteArrayLiteral("<LANG LANGID=\"409\">");
}

QByteArray chineseModeName()
{
    return Gbk::fromUnicode(u"纯中文");
}

QByteArray mixedModeName()
{
    return Gbk::fromUnicode(u"中英混合");
}

static char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

static bool matchesAt(const QByteArray& text, qsizetype i, QByteArrayView pattern)
{
    if (text.size() - i < pattern.size())
        return false;
    for (qsizetype k = 0; k < pattern.size(); ++k)
        if (asciiLower(text[i + k]) != asciiLower(pattern[k]))
            return false;
    return true;
}

QByteArray replaceAll(const QByteArray& text, QByteArrayView pattern, QByteArrayView replacement)
{
    if (pattern.isEmpty())
        return text;
    QByteArray out;
    out.reserve(text.size() + text.size() / 4);
    qsizetype i = 0;
    while (i < text.size()) {
        if (matchesAt(text, i, pattern)) {
            out.append(replacement.data(), replacement.size());
            i += pattern.size();
            continue;
        }
        const qsizetype n = Gbk::charLength(text.constData() + i, text.size() - i);
        out.append(text.constData() + i, n);
        i += n;
    }
    return out;
}

QByteArray chineseMode(const QByteArray& source)
{
    return chineseTag() + replaceAll(source, ".", "\xA1\xA3");
}

namespace {

struct Replacement
{
    const char* from;
    const char* to;
};

// Letters to small full-width letters (capitals too, by the replace rule), a blank to two,
// punctuation and digits to their double-byte forms.
constexpr Replacement kMixedTable[66] = {
    {"a", "\xA3\xE1"},  {"b", "\xA3\xE2"}, {"c", "\xA3\xE3"}, {"d", "\xA3\xE4"}, {"e", "\xA3\xE5"},
    {"f", "\xA3\xE6"},  {"g", "\xA3\xE7"}, {"h", "\xA3\xE8"}, {"i", "\xA3\xE9"}, {"j", "\xA3\xEA"},
    {"k", "\xA3\xEB"},  {"l", "\xA3\xEC"}, {"m", "\xA3\xED"}, {"n", "\xA3\xEE"}, {"o", "\xA3\xEF"},
    {"p", "\xA3\xF0"},  {"q", "\xA3\xF1"}, {"r", "\xA3\xF2"}, {"s", "\xA3\xF3"}, {"t", "\xA3\xF4"},
    {"u", "\xA3\xF5"},  {"v", "\xA3\xF6"}, {"w", "\xA3\xF7"}, {"x", "\xA3\xF8"}, {"y", "\xA3\xF9"},
    {"z", "\xA3\xFA"},  {" ", "  "},       {",", "\xA3\xAC"}, {".", "\xA1\xA3"}, {";", "\xA3\xBB"},
    {":", "\xA3\xBA"},  {"'", "\xA3\xA7"}, {"<", "\xA1\xB4"}, {">", "\xA1\xB5"}, {"/", "\xA3\xAF"},
    {"\\", "\xA3\xDC"}, {"?", "\xA3\xBF"}, {"|", "\xA1\xAC"}, {"[", "\xA3\xDB"}, {"]", "\xA3\xDD"},
    {"{", "\xA3\xFB"},  {"}", "\xA3\xFD"}, {"(", "\xA3\xA8"}, {")", "\xA3\xA9"}, {"-", "\xA3\xAD"},
    {"_", "\xA9\x6D"},  {"=", "\xA3\xBD"}, {"+", "\xA3\xAB"}, {"!", "\xA3\xA1"}, {"@", "\xA3\xC0"},
    {"#", "\xA3\xA3"},  {"$", "\xA1\xE7"}, {"%", "\xA3\xA5"}, {"^", "\xA1\xA6"}, {"&", "\xA3\xA6"},
    {"*", "\xA1\xF9"},  {"1", "\xA3\xB1"}, {"2", "\xA3\xB2"}, {"3", "\xA3\xB3"}, {"4", "\xA3\xB4"},
    {"5", "\xA3\xB5"},  {"6", "\xA3\xB6"}, {"7", "\xA3\xB7"}, {"8", "\xA3\xB8"}, {"9", "\xA3\xB9"},
    {"0", "\xA3\xB0"},
};

bool isFullWidthSmallLetter(uchar b0, uchar b1)
{
    return b0 == 0xA3 && b1 >= 0xE1 && b1 <= 0xFA;
}

bool isFullWidthDigit(uchar b0, uchar b1)
{
    return b0 == 0xA3 && b1 >= 0xB0 && b1 <= 0xB9;
}

} // namespace

QByteArray mixedReplacements(const QByteArray& source)
{
    QByteArray text = source;
    for (const Replacement& r : kMixedTable)
        text = replaceAll(text, r.from, r.to);
    return text;
}

void mixedWalk(const QByteArray& working, WalkState& state,
               const std::function<int(int)>& setProgress,
               const std::function<void(const QByteArray&)>& speak)
{
    const qsizetype length = working.size();
    state.speechText.clear();
    if (length <= 1)
        return;
    // p is the 1-based position of the pair's first byte; every pair taken has two bytes.
    for (qsizetype p = 1; p < length;) {
        const auto b0 = uchar(working[p - 1]);
        const auto b1 = uchar(working[p]);
        if (isFullWidthSmallLetter(b0, b1)) {
            if (state.language != 1)
                state.speechText += englishTag();
            state.speechText += char(b0);
            state.speechText += char(b1);
            state.language = 1;
        } else {
            if (state.language != 0)
                state.speechText += chineseTag();
            if (isFullWidthDigit(b0, b1)) {
                state.speechText += char('0' + (b1 - 0xB0));
            } else {
                state.speechText += char(b0);
                state.speechText += char(b1);
            }
            state.language = 0;
        }
        p += 2;
        if (setProgress(int(p * 100 / length)) == 100)
            speak(state.speechText);
    }
}

} // namespace SpeechText
