#include "Pronunciations.h"

#include "DbConnection.h"
#include "DbQuery.h"
#include "SpeechLexicon.h"
#include "Statements.h"
#include "VoiceEngine.h"

QList<Pronunciations::Row> Pronunciations::rows(const QString& connectionString)
{
    DbConnection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    DbQuery query;
    query.setConnection(&connection);
    Statements::run(query, Statements::pronunciations());
    QList<Row> rows;
    rows.reserve(query.recordCount());
    for (; !query.eof(); query.next())
        rows.append({query.fieldAsString(Fields::Idiom), query.fieldAsString(Fields::Pinyin)});
    return rows;
}

SpeechLexicon Pronunciations::read(const QString& connectionString)
{
    SpeechLexicon lexicon;
    for (const Row& row : rows(connectionString))
        lexicon.add(row.idiom, row.pinyin);
    return lexicon;
}

void Pronunciations::useStore(const QString& connectionString)
{
    VoiceEngine::instance().setLexiconSource([connectionString] { return read(connectionString); });
}
