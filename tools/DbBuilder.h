#pragma once

#include <QList>
#include <QString>
#include <stdexcept>

// Builds the idiom store (table ChenYu) from the idiom data set's text file.
namespace DbBuilder {

struct Report
{
    int rows = 0;             // idioms written
    QList<int> skippedLines;  // 1-based numbers of the damaged lines left out
};

class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads `sourcePath` (UTF-8, one idiom a line) and writes the store to `dbPath`, replacing it
// only when the whole build succeeded. Rows go in the order of their toneless pinyin (a to z,
// equal ones in the order of the file), numbered from 1. Raises Error, naming the line, when a
// text does not survive the trip to GBK and back, or the input is no UTF-8.
Report build(const QString& sourcePath, const QString& dbPath);

} // namespace DbBuilder
