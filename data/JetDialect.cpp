#include "JetDialect.h"

#include <QList>

namespace JetDialect {

namespace {

enum class Kind
{
    Space,
    Word,
    Number,
    String,
    Other,
};

struct Token
{
    Kind kind;
    QString text;
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A quoted literal starting at `i`; `quote` doubled inside it stands for itself. An
// unterminated literal runs to the end of the text and is passed on as it is, so that the
// engine reports it.
qsizetype literalEnd(const QString& s, qsizetype i, QChar quote, bool* terminated)
{
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s[j] == quote) {
            if (j + 1 < s.size() && s[j + 1] == quote) {
                j += 2;
                continue;
            }
            *terminated = true;
            return j + 1;
        }
        ++j;
    }
    *terminated = false;
    return j;
}

QList<Token> tokenize(const QString& s)
{
    QList<Token> out;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        Kind kind = Kind::Other;
        QString text;
        if (c.isSpace()) {
            while (j < s.size() && s[j].isSpace())
                ++j;
            kind = Kind::Space;
        } else if (isWordStart(c)) {
            while (j < s.size() && isWordChar(s[j]))
                ++j;
            kind = Kind::Word;
        } else if (c.isDigit()) {
            while (j < s.size() && (s[j].isDigit() || s[j] == QLatin1Char('.')))
                ++j;
            kind = Kind::Number;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            bool terminated = false;
            j = literalEnd(s, i, c, &terminated);
            if (terminated && c == QLatin1Char('"')) {
                QString inner = s.mid(i + 1, j - i - 2);
                inner.replace(QLatin1String("\"\""), QLatin1String("\""));
                inner.replace(QLatin1String("'"), QLatin1String("''"));
                text = QLatin1Char('\'') + inner + QLatin1Char('\'');
            }
            kind = terminated ? Kind::String : Kind::Other;
        } else if (c == QLatin1Char('[')) {
            while (j < s.size() && s[j] != QLatin1Char(']'))
                ++j;
            j = qMin(j + 1, s.size());
            kind = Kind::Word;
        }
        out.append({kind, text.isNull() ? s.mid(i, j - i) : text});
        i = j;
    }
    return out;
}

bool is(const Token& t, const char* word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

qsizetype nextSolid(const QList<Token>& t, qsizetype i)
{
    while (i < t.size() && t[i].kind == Kind::Space)
        ++i;
    return i;
}

} // namespace

QString toSqlite(const QString& jet)
{
    const QList<Token> t = tokenize(jet);
    QString out;
    out.reserve(jet.size() + 32);
    QString limit;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (is(tok, "select")) {
            out += tok.text;
            const qsizetype top = nextSolid(t, i + 1);
            const qsizetype count = nextSolid(t, top + 1);
            if (top < t.size() && is(t[top], "top") && count < t.size() &&
                t[count].kind == Kind::Number && limit.isEmpty()) {
                limit = t[count].text;
                i = count;
            }
            continue;
        }
        if (is(tok, "rnd")) {
            const qsizetype next = nextSolid(t, i + 1);
            const bool call = next < t.size() && t[next].text == QLatin1String("(");
            out += call ? QStringLiteral("jet_rnd") : QStringLiteral("jet_rnd()");
            continue;
        }
        if (is(tok, "time")) {
            const qsizetype next = nextSolid(t, i + 1);
            if (next < t.size() && t[next].text == QLatin1String("(")) {
                out += QStringLiteral("jet_time");
                continue;
            }
        }
        out += tok.text;
        if (tok.kind == Kind::String)
            out += QStringLiteral(" collate nocase");
    }
    if (!limit.isEmpty()) {
        while (out.endsWith(QLatin1Char(';')) || (!out.isEmpty() && out.back().isSpace()))
            out.chop(1);
        out += QStringLiteral(" limit ") + limit;
    }
    return out;
}

} // namespace JetDialect
