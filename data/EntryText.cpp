#include "EntryText.h"

#include "DbQuery.h"
#include "Gbk.h"
#include "Statements.h"

namespace EntryText {

QByteArray build(const IdiomEntry& e)
{
    // Each label is 12 GBK bytes: 【, a character, two ASCII blanks, a character, 】, ：
    static const QByteArray labels[5] = {
        Gbk::fromUnicode(u"【成  语】："), Gbk::fromUnicode(u"【拼  音】："),
        Gbk::fromUnicode(u"【解  释】："), Gbk::fromUnicode(u"【例  子】："),
        Gbk::fromUnicode(u"【出  处】："),
    };
    const QByteArray* values[5] = {&e.chengYu, &e.pingYin, &e.dianGu, &e.liZi, &e.chuchu};
    QByteArray out;
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            out += '\r';
        out += labels[i];
        out += *values[i];
    }
    return out;
}

IdiomEntry read(const DbQuery& q)
{
    return IdiomEntry{q.fieldAsGbk(Fields::Idiom), q.fieldAsGbk(Fields::Pinyin),
                      q.fieldAsGbk(Fields::Explanation), q.fieldAsGbk(Fields::Example),
                      q.fieldAsGbk(Fields::Source)};
}

} // namespace EntryText
