#include "Pronunciations.h"

#include "DbConnection.h"
#include "DbQuery.h"
#include "SpeechLexicon.h"
#include "Statements.h"
#include "VoiceEngine.h"

SpeechLexicon Pronunciations::read(const QString& connectionString)
{
    DbConnection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    DbQuery query;
    query.setConnection(&connection);
    Statements::run(query, Statements::pronunciations());
    SpeechLexicon lexicon;
    const QString idiom = QStringLiteral("ChengYu");
    const QString pinyin = QStringLiteral("PingYin");
    for (; !query.eof(); query.next())
        lexicon.add(query.fieldAsString(idiom), query.fieldAsString(pinyin));
    return lexicon;
}

void Pronunciations::useStore(const QString& connectionString)
{
    VoiceEngine::instance().setLexiconSource([connectionString] { return read(connectionString); });
}
