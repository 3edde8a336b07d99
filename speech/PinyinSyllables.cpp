#include "PinyinSyllables.h"

#include <QSet>
#include <string_view>
#include <utility>

namespace {

// Every toneless Mandarin syllable, ü written v. Interjections (m, n, ng, hm, hng, ê) included.
constexpr const char* Inventory =
    "a ai an ang ao ba bai ban bang bao bei ben beng bi bian biao bie bin bing bo bu ca cai can "
    "cang cao ce cen ceng cha chai chan chang chao che chen cheng chi chong chou chu chua chuai "
    "chuan chuang chui chun chuo ci cong cou cu cuan cui cun cuo da dai dan dang dao de dei den "
    "deng di dia dian diao die ding diu dong dou du duan dui dun duo e ei en eng er fa fan fang "
    "fei fen feng fo fou fu ga gai gan gang gao ge gei gen geng gong gou gu gua guai guan guang "
    "gui gun guo ha hai han hang hao he hei hen heng hong hou hu hua huai huan huang hui hun huo "
    "ji jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun ka kai kan kang kao ke kei ken "
    "keng kong kou ku kua kuai kuan kuang kui kun kuo la lai lan lang lao le lei leng li lia lian "
    "liang liao lie lin ling liu lo long lou lu luan lun luo lv lve ma mai man mang mao me mei men "
    "meng mi mian miao mie min ming miu mo mou mu na nai nan nang nao ne nei nen neng ni nian "
    "niang niao nie nin ning niu nong nou nu nuan nun nuo nv nve o ou pa pai pan pang pao pei pen "
    "peng pi pian piao pie pin ping po pou pu qi qia qian qiang qiao qie qin qing qiong qiu qu "
    "quan que qun ran rang rao re ren reng ri rong rou ru rua ruan rui run ruo sa sai san sang sao "
    "se sen seng sha shai shan shang shao she shei shen sheng shi shou shu shua shuai shuan shuang "
    "shui shun shuo si song sou su suan sui sun suo ta tai tan tang tao te tei teng ti tian tiao "
    "tie ting tong tou tu tuan tui tun tuo wa wai wan wang wei wen weng wo wu xi xia xian xiang "
    "xiao xie xin xing xiong xiu xu xuan xue xun ya yan yang yao ye yi yin ying yo yong you yu "
    "yuan yue yun za zai zan zang zao ze zei zen zeng zha zhai zhan zhang zhao zhe zhei zhen zheng "
    "zhi zhong zhou zhu zhua zhuai zhuan zhuang zhui zhun zhuo zi zong zou zu zuan zui zun zuo "
    "m n ng hm hng ê";

const QSet<QString>& inventory()
{
    static const QSet<QString> set = [] {
        const QStringList all = QString::fromUtf8(Inventory).split(u' ');
        return QSet<QString>(all.begin(), all.end());
    }();
    return set;
}

// The plain vowel a toned vowel stands for ('v' for ü), or 0 when `c` carries no tone mark.
char16_t untoned(char16_t c)
{
    static const QString marked = QStringLiteral("āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜ");
    static const char16_t plain[] = u"aaaaeeeeiiiioooouuuuvvvv";
    const qsizetype i = marked.indexOf(QChar(c));
    return i < 0 ? 0 : plain[i];
}

bool isVowel(char16_t c)
{
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'v' || c == u'ê';
}

// Where the tone mark of a toneless spelling goes.
qsizetype toneVowel(const QString& plain)
{
    if (const qsizetype a = plain.indexOf(u'a'); a >= 0)
        return a;
    if (const qsizetype e = plain.indexOf(u'e'); e >= 0)
        return e;
    if (const qsizetype ou = plain.indexOf(QStringLiteral("ou")); ou >= 0)
        return ou;
    for (qsizetype i = plain.size() - 1; i >= 0; --i) {
        if (isVowel(plain[i].unicode()))
            return i;
    }
    return 0; // m, n, ng, hm, hng carry the mark on their first letter
}

// The combining marks of the four tones, in tone order, and of ü and ê.
constexpr std::u16string_view ToneMarks = u"\u0304\u0301\u030C\u0300";
constexpr char32_t DiaeresisMark = U'\u0308';
constexpr char32_t CircumflexMark = U'\u0302';

bool isSeparator(QChar c)
{
    return c.isSpace() || c.isPunct() || c.isSymbol();
}

} // namespace

QStringList PinyinSyllables::split(const QString& written)
{
    const QString text = written.normalized(QString::NormalizationForm_C);
    QStringList syllables;
    QString current;
    for (QChar c : text) {
        if (isSeparator(c)) { // blanks, punctuation, apostrophes and hyphens
            if (!current.isEmpty())
                syllables.append(std::exchange(current, QString()));
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        syllables.append(current);
    return syllables;
}

bool PinyinSyllables::isSyllable(QStringView syllable)
{
    QString plain;
    plain.reserve(syllable.size());
    qsizetype marked = -1;
    for (QChar c : syllable) {
        const char16_t lower = c.toLower().unicode();
        if (const char16_t vowel = untoned(lower)) {
            if (marked >= 0)
                return false; // two tone marks
            marked = plain.size();
            plain.append(QChar(vowel));
        } else if (lower == u'ü') {
            plain.append(u'v');
        } else if ((lower >= u'a' && lower <= u'z' && lower != u'v') || lower == u'ê') {
            plain.append(QChar(lower));
        } else {
            return false; // a digit, a look-alike letter, a stray mark
        }
    }
    if (!inventory().contains(plain))
        return false;
    return marked < 0 || marked == toneVowel(plain);
}

QString PinyinSyllables::letters(QStringView syllable)
{
    QString out;
    for (const char32_t c : syllable.toString().normalized(QString::NormalizationForm_D).toUcs4()) {
        if (c >= U'A' && c <= U'Z')
            out.append(QChar(char16_t(c - U'A' + U'a')));
        else if (c >= U'a' && c <= U'z')
            out.append(QChar(char16_t(c)));
        else if (c == DiaeresisMark && out.endsWith(u'u'))
            out.back() = u'v';
        else if (c == CircumflexMark && out.endsWith(u'e'))
            out.back() = u'ê';
    }
    return out;
}

int PinyinSyllables::tone(QStringView syllable)
{
    int found = 0;
    for (const QChar c : syllable.toString().normalized(QString::NormalizationForm_D)) {
        const size_t t = ToneMarks.find(c.unicode());
        if (t == std::u16string_view::npos)
            continue;
        if (found)
            return -1;
        found = int(t) + 1;
    }
    return found;
}

QString PinyinSyllables::withTone(QStringView spelling, int tone)
{
    QString plain = spelling.toString().toLower();
    plain.replace(u'ü', u'v');
    const qsizetype at = tone >= 1 && tone <= 4 ? toneVowel(plain) : -1;
    QString decomposed;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (plain[i] == u'v')
            decomposed.append(QStringView(u"u\u0308"));
        else
            decomposed.append(plain[i]);
        if (i == at)
            decomposed.append(QChar(ToneMarks[tone - 1]));
    }
    return decomposed.normalized(QString::NormalizationForm_C);
}

bool PinyinSyllables::isHan(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han && QChar::isLetter(c);
}

QList<char32_t> PinyinSyllables::hanCharacters(QStringView text)
{
    QList<char32_t> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (isHan(c))
            out.append(c);
    }
    return out;
}

int PinyinSyllables::hanCount(QStringView text)
{
    return int(hanCharacters(text).size());
}

QStringList PinyinSyllables::readingOf(const QString& idiom, const QString& pinyin)
{
    const QStringList syllables = split(pinyin);
    if (syllables.isEmpty() || syllables.size() != hanCount(idiom))
        return {};
    for (const QString& syllable : syllables) {
        if (!isSyllable(syllable))
            return {};
    }
    return syllables;
}
