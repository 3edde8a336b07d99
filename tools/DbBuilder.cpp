#include "DbBuilder.h"

#include "Gbk.h"
#include "Headwords.h"
#include "IdiomLine.h"
#include "Pinyin.h"
#include "PinyinRepair.h"
#include "PinyinSyllables.h"
#include "Readings.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <sqlite3.h>

namespace DbBuilder {

namespace {

struct Row
{
    IdiomRecord record;
    QString searchForm; // SPingYin
    QString sortKey;    // the toneless syllables joined
    int line;
};

// The report's columns; a repaired entry that still fails is listed as failing.
const char* kReportHeader = "status\tline\tidiom before\tidiom after\tpinyin before\tpinyin "
                            "after\twhat changed\twhy it fails\n";

[[noreturn]] void fail(const QString& message)
{
    throw Error(message);
}

class Db
{
public:
    explicit Db(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot create %1: %2").arg(path, error()));
    }
    ~Db() { sqlite3_close_v2(m_db); }

    void exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), error()));
    }
    sqlite3* handle() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3* m_db = nullptr;
};

const char* kSchema = R"sql(
PRAGMA page_size = 4096;
PRAGMA journal_mode = DELETE;
CREATE TABLE ChenYu (
    id       INTEGER PRIMARY KEY,
    ChengYu  TEXT COLLATE NOCASE,
    PingYin  TEXT COLLATE NOCASE,
    SPingYin TEXT COLLATE NOCASE,
    DianGu   TEXT COLLATE NOCASE,
    LiZi     TEXT COLLATE NOCASE,
    Chuchu   TEXT COLLATE NOCASE
);
)sql";

void checkGbk(const Row& row)
{
    const IdiomRecord& r = row.record;
    const std::pair<const char*, const QString*> fields[] = {
        {"ChengYu", &r.chengYu}, {"PingYin", &r.pingYin}, {"SPingYin", &row.searchForm},
        {"DianGu", &r.dianGu},   {"LiZi", &r.liZi},       {"Chuchu", &r.chuchu}};
    for (const auto& [name, text] : fields)
        if (!Gbk::isGbk(*text))
            fail(QStringLiteral("line %1: %2 does not convert to GBK and back unchanged")
                     .arg(row.line)
                     .arg(QLatin1String(name)));
}

void write(const QString& path, const QList<Row>& rows)
{
    Db db(path);
    db.exec(kSchema);
    db.exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db.handle(),
                           "INSERT INTO ChenYu (id, ChengYu, PingYin, SPingYin, DianGu, LiZi, "
                           "Chuchu) VALUES (?, ?, ?, ?, ?, ?, ?)",
                           -1, &insert, nullptr) != SQLITE_OK)
        fail(db.error());
    int id = 0;
    for (const Row& row : rows) {
        const QByteArray texts[6] = {row.record.chengYu.toUtf8(), row.record.pingYin.toUtf8(),
                                     row.searchForm.toUtf8(),     row.record.dianGu.toUtf8(),
                                     row.record.liZi.toUtf8(),    row.record.chuchu.toUtf8()};
        sqlite3_bind_int(insert, 1, ++id);
        for (int i = 0; i < 6; ++i)
            sqlite3_bind_text(insert, i + 2, texts[i].constData(), int(texts[i].size()),
                              SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            sqlite3_finalize(insert);
            fail(QStringLiteral("line %1: %2").arg(row.line).arg(db.error()));
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    db.exec("CREATE INDEX ChenYu_ChengYu ON ChenYu (ChengYu)");
    db.exec("COMMIT");
}

// Writes `bytes` to `path` whole or not at all.
void replaceFile(const QString& path, const QByteArray& bytes)
{
    const QString temp = path + QStringLiteral(".part");
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() ||
        !out.flush()) {
        out.remove();
        fail(QStringLiteral("cannot write %1: %2").arg(temp, out.errorString()));
    }
    out.close();
    QFile::remove(path);
    if (!QFile::rename(temp, path))
        fail(QStringLiteral("cannot move %1 to %2").arg(temp, path));
}

// One line of the report, tabs and line breaks in the texts made blanks.
QByteArray reportLine(const char* status, int line, const IdiomRecord& before,
                      const PinyinRepair::Outcome& after)
{
    QStringList changes;
    for (const PinyinRepair::Change& c : after.changes)
        changes.append(c.rule + u' ' + c.detail);
    QStringList cells = {QString::fromLatin1(status),
                         QString::number(line),
                         before.chengYu,
                         after.idiom,
                         before.pingYin,
                         after.pinyin,
                         changes.join(QStringLiteral("; ")),
                         after.failure};
    for (QString& cell : cells)
        cell.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return cells.join(u'\t').toUtf8() + '\n';
}

// An entry as the store would show it: its idiom and its toned syllables.
QString entryKey(const QString& idiom, const QString& pinyin)
{
    return idiom + u'\t' + PinyinSyllables::split(pinyin).join(u' ').toLower();
}

} // namespace

Report build(const QString& sourcePath, const QString& dbPath, const Options& options)
{
    Readings readings;
    Headwords headwords;
    QString error;
    if (!options.readingsPath.isEmpty() && !readings.load(options.readingsPath, &error))
        fail(error);
    if (!options.headwordsPath.isEmpty() && !headwords.load(options.headwordsPath, &error))
        fail(error);

    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(sourcePath, in.errorString()));
    const QByteArray bytes = in.readAll();

    Report report;
    QList<std::pair<IdiomRecord, int>> entries; // with their line numbers
    QList<PinyinRepair::Outcome> outcomes;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i + 1);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString line = utf8.decode(lines[i]);
        if (utf8.hasError())
            fail(QStringLiteral("line %1: not UTF-8 text").arg(lineNo));
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<IdiomRecord> record = IdiomLine::parse(line);
        if (!record) {
            report.skippedLines.append(lineNo);
            continue;
        }
        entries.append({*record, lineNo});
        outcomes.append(PinyinRepair::check(record->chengYu, record->pingYin, readings,
                                            headwords.isEmpty() ? nullptr : &headwords));
    }

    // A restored idiom must not make a second entry of one the store has: every entry kept as
    // written counts, and the restored ones before it in the file.
    QSet<QString> inStore;
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].idiom == entries[i].first.chengYu)
            inStore.insert(entryKey(outcomes[i].idiom, outcomes[i].pinyin));
    }
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const IdiomRecord& record = entries[i].first;
        if (outcomes[i].idiom == record.chengYu)
            continue;
        const QString key = entryKey(outcomes[i].idiom, outcomes[i].pinyin);
        if (!inStore.contains(key)) {
            inStore.insert(key);
            continue;
        }
        const QString restored = outcomes[i].idiom;
        outcomes[i] = PinyinRepair::check(record.chengYu, record.pingYin, readings);
        outcomes[i].failure +=
            QStringLiteral(" (%1 fits, but is in the store with this pinyin already)")
                .arg(restored);
    }

    QList<Row> rows;
    QByteArray repairs = kReportHeader;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const auto& [record, lineNo] = entries[i];
        const PinyinRepair::Outcome& pinyin = outcomes[i];
        for (const PinyinRepair::Change& c : pinyin.changes)
            ++report.rules[c.rule];
        if (!pinyin.failure.isEmpty()) {
            ++report.failing;
            repairs += reportLine("failing", lineNo, record, pinyin);
        } else if (!pinyin.changes.isEmpty()) {
            ++report.repaired;
            repairs += reportLine("repaired", lineNo, record, pinyin);
        }
        Row row{record, Pinyin::searchForm(pinyin.pinyin), {}, lineNo};
        row.record.chengYu = pinyin.idiom;
        row.record.pingYin = pinyin.pinyin;
        row.sortKey = row.searchForm.section(QLatin1Char(' '), 0, 0);
        checkGbk(row);
        rows.append(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.sortKey < b.sortKey; });

    const QString temp = dbPath + QStringLiteral(".part");
    QFile::remove(temp);
    try {
        write(temp, rows);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    QFile::remove(dbPath);
    if (!QFile::rename(temp, dbPath))
        fail(QStringLiteral("cannot move %1 to %2").arg(temp, dbPath));
    if (!options.reportPath.isEmpty())
        replaceFile(options.reportPath, repairs);
    report.rows = int(rows.size());
    return report;
}

} // namespace DbBuilder
