#include "SpeechMarkup.h"

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

// One LANG element, as far as the parser needs it.
struct LangTag
{
    enum Kind
    {
        Open,        // <LANG LANGID="804">
        SelfClosing, // <LANG LANGID="804"/>
        Close,       // </LANG>
    };
    Kind kind = Open;
    bool known = false; // a language we have a voice for
    SpeechLanguage language = SpeechLanguage::Chinese;
    qsizetype end = 0; // just behind the closing ">"
};

bool parseLangId(QStringView value, uint* id)
{
    if (value.isEmpty() || value.size() > 4)
        return false;
    uint result = 0;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        uint digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return false;
        result = result * 16 + digit;
    }
    *id = result;
    return true;
}

// Reads a LANG element starting at the "<" at `pos`. False when the text there is not a
// well-formed LANG element (another element, a stray "<", a missing ">", a bad attribute).
bool readLangTag(const QString& text, qsizetype pos, LangTag* tag)
{
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    tag->kind = LangTag::Open;
    if (i < n && text[i] == u'/') {
        tag->kind = LangTag::Close;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && isNameChar(text[i]))
        ++i;
    if (QStringView(text).mid(nameStart, i - nameStart).compare(u"LANG", Qt::CaseInsensitive) != 0)
        return false;

    bool haveLangId = false;
    uint langId = 0;
    for (;;) {
        const qsizetype beforeSpace = i;
        while (i < n && isSpace(text[i]))
            ++i;
        if (i >= n)
            return false;
        if (text[i] == u'>') {
            tag->end = i + 1;
            break;
        }
        if (text[i] == u'/' && tag->kind == LangTag::Open) {
            if (i + 1 < n && text[i + 1] == u'>') {
                tag->kind = LangTag::SelfClosing;
                tag->end = i + 2;
                break;
            }
            return false;
        }
        // An attribute: only LANGID, once, on an opening element, after a blank.
        if (tag->kind == LangTag::Close || i == beforeSpace || !isNameStart(text[i]))
            return false;
        const qsizetype attrStart = i;
        while (i < n && isNameChar(text[i]))
            ++i;
        const QStringView attr = QStringView(text).mid(attrStart, i - attrStart);
        if (attr.compare(u"LANGID", Qt::CaseInsensitive) != 0 || haveLangId)
            return false;
        while (i < n && isSpace(text[i]))
            ++i;
        if (i >= n || text[i] != u'=')
            return false;
        ++i;
        while (i < n && isSpace(text[i]))
            ++i;
        if (i >= n || (text[i] != u'"' && text[i] != u'\''))
            return false;
        const QChar quote = text[i];
        const qsizetype valueStart = ++i;
        while (i < n && text[i] != quote && text[i] != u'<' && text[i] != u'>')
            ++i;
        if (i >= n || text[i] != quote)
            return false;
        if (!parseLangId(QStringView(text).mid(valueStart, i - valueStart), &langId))
            return false;
        haveLangId = true;
        ++i;
    }
    if (tag->kind != LangTag::Close) {
        if (!haveLangId)
            return false;
        tag->known = languageForLangId(langId, &tag->language);
    }
    return true;
}

void addRun(QList<SpeechRun>* runs, SpeechLanguage language, const QString& text, qsizetype from,
            qsizetype to)
{
    if (to <= from)
        return;
    QString piece = text.mid(from, to - from);
    if (language == SpeechLanguage::English)
        piece = foldFullWidthLatin(piece);
    runs->append(SpeechRun{language, piece, from});
}

} // namespace

bool languageForLangId(uint langId, SpeechLanguage* language)
{
    switch (langId & 0x3FF) {
    case 0x04:
        *language = SpeechLanguage::Chinese;
        return true;
    case 0x09:
        *language = SpeechLanguage::English;
        return true;
    default:
        return false;
    }
}

QString foldFullWidthLatin(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) ||
            (u >= 0xFF41 && u <= 0xFF5A))
            c = QChar(char16_t(u - 0xFF10 + u'0'));
    }
    return result;
}

QList<SpeechRun> parseSpeechMarkup(const QString& text, MarkupMode mode)
{
    QList<SpeechRun> runs;
    const bool markup =
        mode == MarkupMode::Markup || (mode == MarkupMode::Auto && text.startsWith(u'<'));
    if (!markup) {
        addRun(&runs, SpeechLanguage::Chinese, text, 0, text.size());
        return runs;
    }

    SpeechLanguage current = SpeechLanguage::Chinese;
    QList<SpeechLanguage> enclosing; // the language before each LANG element still open
    qsizetype runStart = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        pos = text.indexOf(u'<', pos);
        if (pos < 0)
            break;
        LangTag tag;
        if (!readLangTag(text, pos, &tag) || (tag.kind == LangTag::Close && enclosing.isEmpty())) {
            ++pos; // not an element we know: the "<" is text
            continue;
        }
        addRun(&runs, current, text, runStart, pos);
        switch (tag.kind) {
        case LangTag::Open:
            enclosing.append(current);
            if (tag.known)
                current = tag.language;
            break;
        case LangTag::SelfClosing:
            if (tag.known)
                current = tag.language;
            break;
        case LangTag::Close:
            current = enclosing.takeLast();
            break;
        }
        pos = runStart = tag.end;
    }
    addRun(&runs, current, text, runStart, text.size());
    return runs;
}

namespace {

bool endsSentence(const QString& text, qsizetype i)
{
    switch (text[i].unicode()) {
    case u'。':
    case u'！':
    case u'？':
    case u'；':
    case u'!':
    case u'?':
    case u';':
    case u'\n':
        return true;
    case u'.':
        return i + 1 == text.size() || text[i + 1].isSpace();
    default:
        return false;
    }
}

bool closesSentence(QChar c)
{
    switch (c.unicode()) {
    case u'”':
    case u'’':
    case u'」':
    case u'』':
    case u'）':
    case u')':
    case u'】':
    case u'》':
    case u'"':
    case u'\'':
        return true;
    default:
        return c.isSpace();
    }
}

bool endsClause(QChar c)
{
    switch (c.unicode()) {
    case u'，':
    case u'、':
    case u'：':
    case u',':
    case u':':
        return true;
    default:
        return c.isSpace();
    }
}

} // namespace

qsizetype speechPieceEnd(const QString& text, qsizetype from, qsizetype limit, bool* sentence)
{
    const qsizetype n = text.size();
    const qsizetype stop = qMin(n, from + limit);
    for (qsizetype i = from; i < stop; ++i) {
        if (endsSentence(text, i)) {
            qsizetype end = i + 1;
            while (end < n && closesSentence(text[end]))
                ++end;
            *sentence = true;
            return end;
        }
    }
    *sentence = false;
    if (stop == n)
        return n;
    for (qsizetype i = stop; i > from + 1; --i) {
        if (endsClause(text[i - 1]))
            return i;
    }
    if (text[stop - 1].isHighSurrogate() && stop - 1 > from)
        return stop - 1; // never split a character
    return stop;
}
