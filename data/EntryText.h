#pragma once

#include <QByteArray>

class DbQuery;

// The five labelled lines of an idiom's entry, GBK bytes, a single CR between lines and no
// break after the last. The speech reads this text back from the entry view.
struct IdiomEntry
{
    QByteArray chengYu;
    QByteArray pingYin;
    QByteArray dianGu;
    QByteArray liZi;
    QByteArray chuchu;
};

namespace EntryText {

QByteArray build(const IdiomEntry& entry);
// The fields of the query's current row; all empty when there is none.
IdiomEntry read(const DbQuery& query);

} // namespace EntryText
