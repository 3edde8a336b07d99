// Any line of the idiom data: parsing never crashes, a parsed idiom passes the idiom check,
// and the pinyin search form holds only small letters and one blank.
#include "IdiomLine.h"
#include "Pinyin.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<IdiomRecord> r = IdiomLine::parse(line);
    if (r && !IdiomLine::isIdiomText(r->chengYu))
        std::abort();
    const QString form = Pinyin::searchForm(r ? r->pingYin : line);
    if (form.count(QLatin1Char(' ')) != 1)
        std::abort();
    for (QChar c : form)
        if (c != QLatin1Char(' ') && (c < QLatin1Char('a') || c > QLatin1Char('z')))
            std::abort();
    return 0;
}
