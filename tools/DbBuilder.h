#pragma once

#include "Exception.h"

#include <QList>
#include <QMap>
#include <QString>

// Builds the idiom store (table ChenYu) from the idiom data set's text file.
namespace DbBuilder {

struct Options
{
    QString readingsPath; // the characters' readings (Readings); none: nothing needing them
    QString reportPath;   // where the pinyin report goes; none: nowhere
};

struct Report
{
    int rows = 0;             // idioms written
    QList<int> skippedLines;  // 1-based numbers of the damaged lines left out
    int repaired = 0;         // entries whose pinyin was repaired and now passes the check
    int failing = 0;          // entries that still fail it, repaired in part or not at all
    QMap<QString, int> rules; // how often each repair rule fired
    qint64 indexMs = 0;       // time spent building the meaning search's index
};

// A build that cannot go on; the program's common exception, so it reads like every other.
class Error : public Exception
{
public:
    using Exception::Exception;
};

// Reads `sourcePath` (UTF-8, one idiom a line) and writes the store to `dbPath`, replacing it
// only when the whole build succeeded. Each entry's pinyin is checked and repaired
// (PinyinRepair); the store holds the repaired pinyin, and the restored idiom of an entry that
// lost a character. Rows go in the order of their toneless pinyin (a to z, equal ones in the
// order of the file), numbered from 1. The report, a
// tab-separated table, lists each entry repaired or still failing, in the order of the file.
// Raises Error, naming the line, when a text does not survive the trip to GBK and back, or the
// input is no UTF-8; also when the readings cannot be read.
Report build(const QString& sourcePath, const QString& dbPath, const Options& options = {});

} // namespace DbBuilder
