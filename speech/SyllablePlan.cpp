#include "SyllablePlan.h"

#include "PinyinSyllables.h"

#include <QHash>

namespace {

struct Pair
{
    const char* pinyin;
    const char16_t* zhuyin;
};

// Longest first, so that "zh" wins over "z".
constexpr Pair Initials[] = {
    {"zh", u"ㄓ"}, {"ch", u"ㄔ"}, {"sh", u"ㄕ"}, {"b", u"ㄅ"}, {"p", u"ㄆ"}, {"m", u"ㄇ"},
    {"f", u"ㄈ"},  {"d", u"ㄉ"},  {"t", u"ㄊ"},  {"n", u"ㄋ"}, {"l", u"ㄌ"}, {"g", u"ㄍ"},
    {"k", u"ㄎ"},  {"h", u"ㄏ"},  {"j", u"ㄐ"},  {"q", u"ㄑ"}, {"x", u"ㄒ"}, {"r", u"ㄖ"},
    {"z", u"ㄗ"},  {"c", u"ㄘ"},  {"s", u"ㄙ"},
};

// Finals in their full spelling (y and w undone, iu ui un written out, ü as v).
constexpr Pair Finals[] = {
    {"a", u"ㄚ"},      {"o", u"ㄛ"},     {"e", u"ㄜ"},     {"ê", u"ㄝ"},      {"ai", u"ㄞ"},
    {"ei", u"ㄟ"},     {"ao", u"ㄠ"},    {"ou", u"ㄡ"},    {"an", u"ㄢ"},     {"en", u"ㄣ"},
    {"ang", u"ㄤ"},    {"eng", u"ㄥ"},   {"ong", u"ㄨㄥ"}, {"er", u"ㄦ"},     {"i", u"ㄧ"},
    {"ia", u"ㄧㄚ"},   {"io", u"ㄧㄛ"},  {"ie", u"ㄧㄝ"},  {"iai", u"ㄧㄞ"},  {"iao", u"ㄧㄠ"},
    {"iou", u"ㄧㄡ"},  {"ian", u"ㄧㄢ"}, {"in", u"ㄧㄣ"},  {"iang", u"ㄧㄤ"}, {"ing", u"ㄧㄥ"},
    {"iong", u"ㄩㄥ"}, {"u", u"ㄨ"},     {"ua", u"ㄨㄚ"},  {"uo", u"ㄨㄛ"},   {"uai", u"ㄨㄞ"},
    {"uei", u"ㄨㄟ"},  {"uan", u"ㄨㄢ"}, {"uen", u"ㄨㄣ"}, {"uang", u"ㄨㄤ"}, {"ueng", u"ㄨㄥ"},
    {"v", u"ㄩ"},      {"ve", u"ㄩㄝ"},  {"van", u"ㄩㄢ"}, {"vn", u"ㄩㄣ"},
};

const QHash<QString, QString>& finals()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        for (const Pair& p : Finals)
            t.insert(QString::fromUtf8(p.pinyin), QString::fromUtf16(p.zhuyin));
        return t;
    }();
    return table;
}

// The final as written after y or w, or on its own, in its full spelling.
QString undoGlide(QString s)
{
    if (s.startsWith(u'y')) {
        s.remove(0, 1);
        if (s.startsWith(u'u') || s.startsWith(u'v'))
            return u'v' + s.mid(1); // yu yue yuan yun
        if (s == u"ou")
            return QStringLiteral("iou");
        if (s == u"ong")
            return QStringLiteral("iong");
        return s.startsWith(u'i') ? s : u'i' + s; // yi yin ying; ya ye yao yan yang
    }
    if (s.startsWith(u'w')) {
        s.remove(0, 1);
        if (s.startsWith(u'u'))
            return s;    // wu
        return u'u' + s; // wa wo wai wei wan wen wang weng
    }
    return s;
}

} // namespace

SyllablePlan::Syllable SyllablePlan::parse(QStringView written)
{
    Syllable out;
    QString text = written.toString().trimmed();
    int digit = -1;
    if (!text.isEmpty() && text.back() >= u'0' && text.back() <= u'5') {
        digit = text.back().unicode() - u'0';
        text.chop(1);
    }
    text.replace(u'v', u'ü'); // "lv4", as typed
    const int mark = PinyinSyllables::tone(text);
    if (mark < 0 || (digit >= 0 && mark > 0) || !PinyinSyllables::isSyllable(text))
        return out;
    out.letters = PinyinSyllables::letters(text);
    out.tone = digit >= 0 ? (digit == 5 ? Neutral : digit) : mark;
    return out;
}

QString SyllablePlan::zhuyin(QStringView letters)
{
    QString s = letters.toString().toLower();
    s.replace(u'v', u'ü'); // the syllable check knows ü only as written
    if (!PinyinSyllables::isSyllable(s))
        return {};
    s.replace(u'ü', u'v');
    if (s == u"ê")
        return QStringLiteral("ㄝ");
    QString initial;
    for (const Pair& p : Initials) {
        const QLatin1String spelling(p.pinyin);
        if (s.startsWith(spelling) && s.size() > spelling.size()) {
            initial = QString::fromUtf16(p.zhuyin);
            s.remove(0, spelling.size());
            break;
        }
    }
    if (initial.isEmpty()) {
        s = undoGlide(s);
    } else {
        // zhi chi shi ri zi ci si: the initial alone.
        static const QString buzzing = QStringLiteral("ㄓㄔㄕㄖㄗㄘㄙ");
        if (s == u"i" && buzzing.contains(initial))
            return initial;
        if ((initial == u"ㄐ" || initial == u"ㄑ" || initial == u"ㄒ") && s.startsWith(u'u'))
            s[0] = u'v';
        if (s == u"iu")
            s = QStringLiteral("iou");
        else if (s == u"ui")
            s = QStringLiteral("uei");
        else if (s == u"un")
            s = QStringLiteral("uen");
    }
    const auto found = finals().constFind(s);
    if (found == finals().constEnd())
        return {}; // m n ng hm hng
    return initial + *found;
}

QStringList SyllablePlan::folders(const Syllable& syllable)
{
    const QString name = zhuyin(syllable.letters);
    if (name.isEmpty())
        return {};
    switch (syllable.tone) {
    case 1:
        return {name};
    case 2:
    case 3:
    case 4:
        return {name + QString::number(syllable.tone)};
    default:
        return {name + u'1', name};
    }
}

QList<int> SyllablePlan::spokenTones(const QList<Syllable>& syllables, const QString& characters)
{
    const qsizetype n = syllables.size();
    QList<int> tones;
    tones.reserve(n);
    for (const Syllable& s : syllables)
        tones.append(s.tone);
    const QList<char32_t> hans = PinyinSyllables::hanCharacters(characters);
    const bool matched = hans.size() == n;
    for (qsizetype i = 0; matched && i + 1 < n; ++i) {
        const int next = syllables[i + 1].tone;
        const Syllable& s = syllables[i];
        if (hans[i] == U'一' && s.letters == u"yi" && s.tone == 1 && next != Neutral)
            tones[i] = next == 4 ? 2 : 4;
        else if (hans[i] == U'不' && s.letters == u"bu" && s.tone == 4 && next == 4)
            tones[i] = 2;
    }
    // Third tones, inside each foot of two, then across the joins between feet.
    for (qsizetype i = 0; i + 1 < n; i += 2) {
        if (tones[i] == 3 && tones[i + 1] == 3)
            tones[i] = 2;
    }
    for (qsizetype i = 1; i + 1 < n; i += 2) {
        if (tones[i] == 3 && tones[i + 1] == 3)
            tones[i] = 2;
    }
    return tones;
}
