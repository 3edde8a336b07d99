#include "Statements.h"

#include "DbQuery.h"
#include "Gbk.h"

namespace Statements {

QByteArray quoted(QByteArrayView value)
{
    // 0x27 never occurs inside a GBK or GB18030 multi-byte character, so bytes will do.
    QByteArray out = value.toByteArray();
    out.replace('\'', QByteArrayLiteral("''"));
    return out;
}

QByteArray fullList()
{
    return QByteArrayLiteral("select * from ChenYu");
}

QByteArray entryLookup(QByteArrayView idiom)
{
    return "select * from ChenYu where ChengYu = '" + quoted(idiom) + "'";
}

QByteArray pinyinSearch(QByteArrayView text)
{
    return "select * from ChenYu where SPingYin like '%" + quoted(text) + "%'";
}

QByteArray characterSearch(QByteArrayView text)
{
    return "select * from ChenYu where ChengYu like '%" + quoted(text) + "%'";
}

QByteArray gameQuestions()
{
    return QByteArrayLiteral(
        "select top 10 * from ChenYu order by rnd(id - time()*id * rnd * 1000)");
}

QByteArray gameAnswerCheck(QByteArrayView candidate)
{
    return "select * from ChenYu where chengyu = '" + quoted(candidate) + "'";
}

QByteArray pronunciations()
{
    return QByteArrayLiteral("select ChengYu, PingYin from ChenYu");
}

void run(DbQuery& query, const QByteArray& statement)
{
    query.close();
    query.setSql(Gbk::toUnicode(statement));
    query.open();
    query.first();
}

} // namespace Statements
