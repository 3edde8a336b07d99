#pragma once

#include <QByteArray>
#include <QString>

// The program's byte text is GB18030: identical to GBK for every GBK character, and able to
// carry the rest. All conversions between widget text and byte text go through here.
namespace Gbk {

QByteArray fromUnicode(QStringView text);
QString toUnicode(QByteArrayView bytes);

// Byte length of the character that starts at `p` (1, 2 or 4), never more than `available`.
// A GB18030 four-byte character holds ASCII digits in its 2nd and 4th bytes, so byte scans
// must step over whole characters with this.
qsizetype charLength(const char* p, qsizetype available);

// True when `text` converts to GB18030 bytes and back without change.
bool roundTrips(QStringView text);
// True when `text` converts to GBK proper (no GB18030 four-byte characters) and back.
bool isGbk(QStringView text);

} // namespace Gbk
