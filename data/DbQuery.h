#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "ResultText.h"

class DbConnection;
struct sqlite3;

// A query on the idiom store with a static, client-side cursor: open() reads every row of the
// result, so the row count is exact and stepping never touches the file again.
class DbQuery : public QObject
{
    Q_OBJECT
public:
    explicit DbQuery(QObject* parent = nullptr);

    void setConnection(DbConnection* connection) { m_connection = connection; }
    DbConnection* connection() const { return m_connection; }

    // Replacing the statement closes the query.
    void setSql(const QString& statement);
    QString sql() const { return m_sql; }

    // Runs the statement. Raises EDatabaseError when the store is not open or rejects it.
    void open();
    // Starts reading the result of `statement` on a store file on a thread of its own, with a
    // connection of its own; the next open() of that statement on a connection with that
    // connection string takes the rows from there instead of reading them again (start-up
    // reads the full list while the window is being built). Nothing is shown or raised from
    // there: an open() that finds an error reads again itself. When `column` is named, that
    // column's texts are made there too, and the first column() of it after open() takes them.
    static void readAhead(const QString& connectionString, const QString& statement,
                          const QString& column = QString());

    // The rows of a statement, or why it was turned away.
    struct Result
    {
        QStringList fields;
        ResultText data;
        QList<qsizetype> offsets;
        int rows = 0;
        QString error;
        // A column whose texts were made with the rows (readAhead), and those texts.
        QString madeColumn;
        QStringList madeTexts;
    };
    void close();
    bool active() const { return m_active; }

    int recordCount() const { return m_rowCount; }
    void first();
    void next();
    bool eof() const { return m_row >= m_rowCount; }

    // Field of the current row by name, any letter case. Null reads as empty; so does every
    // field when there is no current row. An unknown name raises EDatabaseError.
    QString fieldAsString(const QString& name) const;
    QByteArray fieldAsGbk(const QString& name) const;
    // One field of every row, from the first; leaves the cursor after the last row.
    QStringList column(const QString& name);
    qint64 fieldAsInteger(const QString& name) const;

private:
    static Result read(sqlite3* db, const QString& statement, ResultText data,
                       QList<qsizetype> offsets);
    static int findField(const QStringList& fields, const QString& name);
    // Every row's text of one field of a result, as column() gives it.
    static QStringList texts(const ResultText& data, const QList<qsizetype>& offsets,
                             qsizetype fieldCount, int rows, int field);
    int fieldIndex(const QString& name) const;
    QByteArrayView cell(int field) const;

    DbConnection* m_connection = nullptr;
    QString m_sql;
    bool m_active = false;
    QStringList m_fields;
    // Every cell's UTF-8 text, row after row, and where each starts; one extra end offset.
    ResultText m_data;
    QList<qsizetype> m_offsets;
    int m_rowCount = 0;
    int m_row = 0;
    // Readers loop over the rows reading the same field: the last name asked for is kept.
    mutable QString m_lastFieldName;
    mutable int m_lastFieldIndex = -1;
    // A column made with a result read ahead, until column() takes it.
    QString m_madeColumn;
    QStringList m_madeTexts;
};
