// Any statement text: the translation never crashes, and the store either runs the result or
// refuses it with EDatabaseError; the store's file stays read-only whatever is sent.
#include "DbConnection.h"
#include "DbQuery.h"
#include "Exception.h"
#include "JetDialect.h"

#include <QCoreApplication>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<DbConnection> connection = [] {
        auto c = std::make_unique<DbConnection>();
        c->setConnectionString(
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" WQ_FIXTURE_DB));
        c->open();
        return c;
    }();
    const QString jet = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)JetDialect::toSqlite(jet);
    DbQuery query;
    query.setConnection(connection.get());
    query.setSql(jet);
    try {
        query.open();
        for (query.first(); !query.eof(); query.next())
            (void)query.recordCount();
    } catch (const EDatabaseError&) {
    }
    return 0;
}
