#pragma once

#include <QByteArray>
#include <QString>

class DbQuery;

// The store's fields, as every reader names them.
namespace Fields {
inline const QString Idiom = QStringLiteral("ChengYu");
inline const QString Pinyin = QStringLiteral("PingYin");
inline const QString SearchPinyin = QStringLiteral("SPingYin");
inline const QString Explanation = QStringLiteral("DianGu");
inline const QString Example = QStringLiteral("LiZi");
inline const QString Source = QStringLiteral("Chuchu");
} // namespace Fields

// Every statement the program sends to the idiom store, built as GBK byte text. A value
// spliced between single quotes has each single quote doubled, so no typed text can end the
// quoted value early; "%" and "_" stay the wildcards of "like".
namespace Statements {

QByteArray quoted(QByteArrayView value);

QByteArray fullList();
QByteArray entryLookup(QByteArrayView idiom);
QByteArray pinyinSearch(QByteArrayView text);
QByteArray characterSearch(QByteArrayView text);
QByteArray gameQuestions();
QByteArray gameAnswerCheck(QByteArrayView candidate);
// Every idiom with its pinyin, in store order: what the speech engine pronounces them as.
QByteArray pronunciations();

// Runs a statement the way every reader does: close, replace the statement, open, first row.
void run(DbQuery& query, const QByteArray& statement);

} // namespace Statements
