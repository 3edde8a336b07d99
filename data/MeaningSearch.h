#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// Finding an idiom by what it means: the text in its explanation (DianGu), example (LiZi) or
// source (Chuchu). A text of three characters or more goes through the store's trigram index
// (ChenYuText); one or two characters, which a trigram cannot hold, are looked for in the
// fields themselves, as is every text in a store built without the index.
namespace MeaningSearch {

// The idioms whose explanation holds `needle` (the text as SearchText::characters makes it), best
// first (the index's bm25 order; store order for a short text), then those whose example or source
// holds it, in the same orders. A row once listed is not listed again; two rows of the same idiom
// both are, as in every search. Raises EDatabaseError when the store turns the search away.
QStringList find(sqlite3* db, const QString& needle);

// Whether the store holds the index.
bool hasIndex(sqlite3* db);

} // namespace MeaningSearch
