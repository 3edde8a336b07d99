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
    for (; !query.eof(); query.next())
        lexicon.add(query.fieldAsString(Fields::Idiom), query.fieldAsString(Fields::Pinyin));
    return lexicon;
}

void Pronunciations::useStore(const QString& connectionString)
{
    VoiceEngine::instance().setLexiconSource([connectionString] { return read(connectionString); });
}
