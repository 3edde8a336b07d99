#pragma once

#include <QString>

// The store speaks SQLite, the program's statements are written in the Jet dialect. This turns
// one into the other:
//   select top N ...        ->  select ... limit N
//   rnd, rnd(x)             ->  jet_rnd(), jet_rnd(x)    (a random number in [0, 1))
//   time()                  ->  jet_time()               (the time of day as a fraction of a day)
//   "text"                  ->  'text'                   (Jet takes double quotes as strings)
//   'text'                  ->  'text' collate nocase    (Jet compares text ignoring case)
// Field and table names need nothing: SQLite already ignores their case. Text inside string
// literals is never touched.
namespace JetDialect {

QString toSqlite(const QString& jet);

} // namespace JetDialect
