#include "LearnerFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// Version 1: history and word book. Version 2 adds the review's cards and its log.
static const char* const kSchemaV1 =
    "CREATE TABLE history(idiom TEXT NOT NULL, pinyin TEXT NOT NULL DEFAULT '',"
    " seen INTEGER NOT NULL, PRIMARY KEY(idiom, pinyin));"
    "CREATE INDEX history_seen ON history(seen);"
    "CREATE TABLE book(idiom TEXT NOT NULL, pinyin TEXT NOT NULL DEFAULT '',"
    " added INTEGER NOT NULL, PRIMARY KEY(idiom, pinyin));";
static const char* const kSchemaV2 =
    "CREATE TABLE card(idiom TEXT NOT NULL, pinyin TEXT NOT NULL DEFAULT '', kind INTEGER NOT NULL,"
    " due_day INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL,"
    " reps INTEGER NOT NULL, lapses INTEGER NOT NULL, last_day INTEGER NOT NULL,"
    " scheduled_days INTEGER NOT NULL, first_day INTEGER NOT NULL,"
    " PRIMARY KEY(idiom, pinyin, kind));"
    "CREATE INDEX card_due ON card(due_day);"
    "CREATE INDEX card_first ON card(first_day);"
    "CREATE TABLE review_log(id INTEGER PRIMARY KEY, idiom TEXT NOT NULL, pinyin TEXT NOT NULL,"
    " kind INTEGER NOT NULL, rating INTEGER NOT NULL, reviewed INTEGER NOT NULL);";

LearnerFile::LearnerFile(Clock clock) : m_clock(std::move(clock)) {}

LearnerFile::~LearnerFile()
{
    close();
}

QString LearnerFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/learner.db"_qs;
}

qint64 LearnerFile::now() const
{
    return m_clock ? m_clock() : QDateTime::currentMSecsSinceEpoch();
}

void LearnerFile::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (m_lockFd >= 0)
        ::close(m_lockFd); // frees the lock
    m_lockFd = -1;
    m_state = State::Closed;
}

bool LearnerFile::openConnection(int flags)
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, 2000);
    return true;
}

bool LearnerFile::exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

LearnerFile::Check LearnerFile::check()
{
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    const int version = rc == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        return Check::Broken;
    if (rc != SQLITE_ROW)
        return Check::Failed;
    if (version > kSchemaVersion)
        return Check::Newer;
    st = nullptr;
    rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    const bool ok = rc == SQLITE_ROW &&
                    qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0;
    sqlite3_finalize(st);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT || (rc == SQLITE_ROW && !ok))
        return Check::Broken;
    return rc == SQLITE_ROW ? Check::Good : Check::Failed;
}

QString LearnerFile::setAside(const QString& why)
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    const QString stamp = QDateTime::fromMSecsSinceEpoch(now()).toString(u"yyyyMMdd-HHmmss"_qs);
    QString target = m_path + u'.' + why + u'-' + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_path + u'.' + why + u'-' + stamp + u'-' + QString::number(n);
    if (!QFile::rename(m_path, target))
        return {};
    // The journal belongs to the file set aside; the shared-memory index is rebuilt.
    QFile::rename(m_path + u"-wal"_qs, target + u"-wal"_qs);
    QFile::remove(m_path + u"-shm"_qs);
    return target;
}

bool LearnerFile::migrate(int from)
{
    if (from == kSchemaVersion)
        return true;
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    if (from < 1)
        ok = exec(kSchemaV1);
    if (ok && from < 2)
        ok = exec(kSchemaV2);
    if (ok)
        ok = exec(
            QByteArray("PRAGMA user_version = " + QByteArray::number(kSchemaVersion)).constData());
    if (ok)
        ok = exec("COMMIT");
    if (!ok)
        exec("ROLLBACK");
    return ok;
}

bool LearnerFile::prepareForWriting(bool fresh)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode = WAL", -1, &st, nullptr) != SQLITE_OK)
        return false;
    const bool wal = sqlite3_step(st) == SQLITE_ROW &&
                     qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal") == 0;
    sqlite3_finalize(st);
    // FULL: a commit is on the disk before the call returns, in WAL as well.
    if (!wal || !exec("PRAGMA synchronous = FULL"))
        return false;
    int version = 0;
    if (!fresh) {
        st = nullptr;
        sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            version = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
    }
    return migrate(version);
}

LearnerFile::Opened LearnerFile::open(const QString& path)
{
    close();
    m_path = path;
    Opened result;
    const QString folder = QFileInfo(path).absolutePath();
    const QString unavailable =
        u"无法写入学习记录的文件夹 %1，本次查阅的记录和生词本不会保存；词典照常可用。"_qs.arg(
            QDir::toNativeSeparators(folder));

    if (!QDir().mkpath(folder)) {
        m_state = result.state = State::Unavailable;
        result.notice = unavailable;
        return result;
    }
    m_lockFd = ::open(QFile::encodeName(path + u".lock"_qs).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        m_state = result.state = State::Unavailable;
        result.notice = unavailable;
        return result;
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        // Another copy writes this file: this one only reads it, and tells nobody.
        ::close(m_lockFd);
        m_lockFd = -1;
        if (QFileInfo::exists(path) && openConnection(SQLITE_OPEN_READONLY) &&
            check() == Check::Good) {
            m_state = result.state = State::ReadOnly;
        } else {
            close();
            m_state = result.state = State::Unavailable;
        }
        return result;
    }

    const bool existed = QFileInfo::exists(path);
    bool fresh = !existed;
    if (existed) {
        if (!openConnection(SQLITE_OPEN_READWRITE)) {
            close();
            m_state = result.state = State::Unavailable;
            result.notice = unavailable;
            return result;
        }
        const Check found = check();
        if (found == Check::Broken || found == Check::Newer) {
            const bool newer = found == Check::Newer;
            result.setAsidePath = setAside(newer ? u"newer"_qs : u"broken"_qs);
            if (result.setAsidePath.isEmpty()) {
                close();
                m_state = result.state = State::Unavailable;
                result.notice = unavailable;
                return result;
            }
            result.notice =
                (newer
                     ? u"学习记录文件由较新版本的 Wenquell 写成，已另存为 %1；现在使用一个新的记录文件。"_qs
                     : u"学习记录文件已损坏，已另存为 %1；现在使用一个新的记录文件。"_qs)
                    .arg(QDir::toNativeSeparators(result.setAsidePath));
            fresh = true;
        } else if (found == Check::Failed) {
            close();
            m_state = result.state = State::Unavailable;
            result.notice = unavailable;
            return result;
        }
    }
    if (fresh && !openConnection(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
        close();
        m_state = result.state = State::Unavailable;
        result.notice = unavailable;
        return result;
    }
    if (!prepareForWriting(fresh)) {
        close();
        // A file this call made and could not finish is not left behind half-written.
        if (fresh) {
            QFile::remove(path);
            QFile::remove(path + u"-wal"_qs);
            QFile::remove(path + u"-shm"_qs);
        }
        m_state = result.state = State::Unavailable;
        if (!result.notice.isEmpty())
            result.notice += u'\n';
        result.notice += unavailable;
        return result;
    }
    m_state = result.state = State::Open;
    return result;
}

bool LearnerFile::write(const char* sql, const IdiomKey& key, qint64 number, bool withNumber)
{
    if (!writable())
        return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
        return false;
    const QByteArray idiom = key.idiom.toUtf8();
    const QByteArray pinyin = key.pinyin.toUtf8();
    sqlite3_bind_text(st, 1, idiom.constData(), int(idiom.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, pinyin.constData(), int(pinyin.size()), SQLITE_TRANSIENT);
    if (withNumber)
        sqlite3_bind_int64(st, 3, number);
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_finalize(st);
    return ok;
}

bool LearnerFile::addToHistory(const IdiomKey& key)
{
    if (!writable() || key.idiom.isEmpty())
        return false;
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = write("INSERT INTO history(idiom, pinyin, seen)"
                    " VALUES(?1, ?2, (SELECT coalesce(max(seen), 0) + 1 FROM history))"
                    " ON CONFLICT(idiom, pinyin) DO UPDATE SET seen = excluded.seen",
                    key);
    if (ok) {
        // By rank, not by number: a row brought back to the top leaves a gap in the numbers.
        const QByteArray cap = QByteArray::number(kHistoryCap);
        ok = exec(QByteArray("DELETE FROM history WHERE seen <= (SELECT seen FROM history"
                             " ORDER BY seen DESC LIMIT 1 OFFSET " +
                             cap + ")")
                      .constData());
    }
    if (ok)
        ok = exec("COMMIT");
    if (!ok)
        exec("ROLLBACK");
    return ok;
}

QList<IdiomKey> LearnerFile::keys(const char* sql, int limit) const
{
    QList<IdiomKey> out;
    if (!m_db)
        return out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK)
        return out;
    sqlite3_bind_int(st, 1, limit);
    while (sqlite3_step(st) == SQLITE_ROW) {
        out.append({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))});
    }
    sqlite3_finalize(st);
    return out;
}

QList<IdiomKey> LearnerFile::history(int limit) const
{
    return keys("SELECT idiom, pinyin FROM history ORDER BY seen DESC LIMIT ?1", limit);
}

bool LearnerFile::inBook(const IdiomKey& key) const
{
    if (!m_db)
        return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT 1 FROM book WHERE idiom = ?1 AND pinyin = ?2", -1, &st,
                           nullptr) != SQLITE_OK)
        return false;
    const QByteArray idiom = key.idiom.toUtf8();
    const QByteArray pinyin = key.pinyin.toUtf8();
    sqlite3_bind_text(st, 1, idiom.constData(), int(idiom.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, pinyin.constData(), int(pinyin.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool LearnerFile::addToBook(const IdiomKey& key)
{
    if (key.idiom.isEmpty())
        return false;
    return write("INSERT INTO book(idiom, pinyin, added) VALUES(?1, ?2, ?3)"
                 " ON CONFLICT(idiom, pinyin) DO NOTHING",
                 key, now(), true);
}

bool LearnerFile::removeFromBook(const IdiomKey& key)
{
    return write("DELETE FROM book WHERE idiom = ?1 AND pinyin = ?2", key);
}

QList<IdiomKey> LearnerFile::book() const
{
    return keys("SELECT idiom, pinyin FROM book ORDER BY added, rowid LIMIT ?1", -1);
}

int LearnerFile::bookCount() const
{
    if (!m_db)
        return 0;
    sqlite3_stmt* st = nullptr;
    int n = 0;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM book", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return n;
}

static void bindKey(sqlite3_stmt* st, const IdiomKey& key)
{
    const QByteArray idiom = key.idiom.toUtf8();
    const QByteArray pinyin = key.pinyin.toUtf8();
    sqlite3_bind_text(st, 1, idiom.constData(), int(idiom.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, pinyin.constData(), int(pinyin.size()), SQLITE_TRANSIENT);
}

static qint64 single(sqlite3* db, const char* sql, qint64 a, qint64 b = 0)
{
    sqlite3_stmt* st = nullptr;
    qint64 n = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_int64(st, 1, a);
        sqlite3_bind_int64(st, 2, b);
        if (sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
    }
    sqlite3_finalize(st);
    return n;
}

int LearnerFile::newToday(qint64 today) const
{
    return m_db ? int(single(m_db, "SELECT count(*) FROM card WHERE first_day = ?1", today)) : 0;
}

int LearnerFile::dueCount(qint64 today, int newPerDay, int kinds) const
{
    if (!m_db)
        return 0;
    const qint64 due = single(m_db,
                              "SELECT count(*) FROM card WHERE due_day <= ?1 AND kind < ?2"
                              " AND EXISTS(SELECT 1 FROM book b WHERE b.idiom = card.idiom"
                              " AND b.pinyin = card.pinyin)",
                              today, kinds);
    const qint64 unseen = single(m_db,
                                 "SELECT count(*) * ?1 - (SELECT count(*) FROM card WHERE kind < ?1"
                                 " AND EXISTS(SELECT 1 FROM book b WHERE b.idiom = card.idiom"
                                 " AND b.pinyin = card.pinyin)) FROM book",
                                 kinds);
    const qint64 allowed = std::max<qint64>(0, newPerDay - newToday(today));
    return int(due + std::min(unseen, allowed));
}

std::optional<LearnerFile::DueCard> LearnerFile::nextCard(qint64 today, int newPerDay,
                                                          int kinds) const
{
    if (!m_db)
        return std::nullopt;
    sqlite3_stmt* st = nullptr;
    // Cards already learnt and due, the longest overdue first; then a new one, in the order
    // the idioms went into the book, while today's allowance lasts.
    if (sqlite3_prepare_v2(m_db,
                           "SELECT idiom, pinyin, kind, stability, difficulty, reps, lapses,"
                           " last_day, scheduled_days FROM card WHERE due_day <= ?1 AND kind < ?2"
                           " AND EXISTS(SELECT 1 FROM book b WHERE b.idiom = card.idiom"
                           " AND b.pinyin = card.pinyin) ORDER BY due_day, rowid LIMIT 1",
                           -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_int64(st, 1, today);
        sqlite3_bind_int64(st, 2, kinds);
        if (sqlite3_step(st) == SQLITE_ROW) {
            DueCard due;
            due.key = {
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))};
            due.kind = sqlite3_column_int(st, 2);
            due.card.stability = sqlite3_column_double(st, 3);
            due.card.difficulty = sqlite3_column_double(st, 4);
            due.card.reps = sqlite3_column_int(st, 5);
            due.card.lapses = sqlite3_column_int(st, 6);
            due.card.lastReviewDay = sqlite3_column_int64(st, 7);
            due.card.scheduledDays = sqlite3_column_int(st, 8);
            sqlite3_finalize(st);
            return due;
        }
    }
    sqlite3_finalize(st);
    if (newToday(today) >= newPerDay)
        return std::nullopt;
    st = nullptr;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT b.idiom, b.pinyin, k.kind FROM book b,"
                           " (WITH RECURSIVE n(kind) AS (SELECT 0 UNION ALL SELECT kind + 1 FROM n"
                           " WHERE kind + 1 < ?1) SELECT kind FROM n) k"
                           " WHERE NOT EXISTS(SELECT 1 FROM card c WHERE c.idiom = b.idiom"
                           " AND c.pinyin = b.pinyin AND c.kind = k.kind)"
                           " ORDER BY b.added, b.rowid, k.kind LIMIT 1",
                           -1, &st, nullptr) != SQLITE_OK)
        return std::nullopt;
    sqlite3_bind_int64(st, 1, kinds);
    std::optional<DueCard> found;
    if (sqlite3_step(st) == SQLITE_ROW) {
        DueCard due;
        due.key = {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                   QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)))};
        due.kind = sqlite3_column_int(st, 2);
        found = due;
    }
    sqlite3_finalize(st);
    return found;
}

bool LearnerFile::rate(const DueCard& due, Fsrs::Rating rating, qint64 today)
{
    if (!writable())
        return false;
    const Fsrs::Card after = Fsrs::review(due.card, rating, today);
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(
                  m_db,
                  "INSERT INTO card(idiom, pinyin, kind, due_day, stability, difficulty, reps,"
                  " lapses, last_day, scheduled_days, first_day)"
                  " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?9)"
                  " ON CONFLICT(idiom, pinyin, kind) DO UPDATE SET due_day = excluded.due_day,"
                  " stability = excluded.stability, difficulty = excluded.difficulty,"
                  " reps = excluded.reps, lapses = excluded.lapses, last_day = excluded.last_day,"
                  " scheduled_days = excluded.scheduled_days",
                  -1, &st, nullptr) == SQLITE_OK;
    if (ok) {
        bindKey(st, due.key);
        sqlite3_bind_int(st, 3, due.kind);
        sqlite3_bind_int64(st, 4, after.dueDay());
        sqlite3_bind_double(st, 5, after.stability);
        sqlite3_bind_double(st, 6, after.difficulty);
        sqlite3_bind_int(st, 7, after.reps);
        sqlite3_bind_int(st, 8, after.lapses);
        sqlite3_bind_int64(st, 9, after.lastReviewDay);
        sqlite3_bind_int(st, 10, after.scheduledDays);
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    sqlite3_finalize(st);
    st = nullptr;
    if (ok)
        ok = sqlite3_prepare_v2(m_db,
                                "INSERT INTO review_log(idiom, pinyin, kind, rating, reviewed)"
                                " VALUES(?1, ?2, ?3, ?4, ?5)",
                                -1, &st, nullptr) == SQLITE_OK;
    if (ok) {
        bindKey(st, due.key);
        sqlite3_bind_int(st, 3, due.kind);
        sqlite3_bind_int(st, 4, int(rating));
        sqlite3_bind_int64(st, 5, now());
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    sqlite3_finalize(st);
    if (ok)
        ok = exec("COMMIT");
    if (!ok)
        exec("ROLLBACK");
    return ok;
}

int LearnerFile::reviewCount() const
{
    return m_db ? int(single(m_db, "SELECT count(*) FROM review_log", 0)) : 0;
}

LearnerFile::Imported
LearnerFile::importToBook(const QList<std::pair<QString, QString>>& lines,
                          const std::function<IdiomKey(const QString&, const QString&)>& resolve)
{
    Imported result;
    for (const auto& [idiom, pinyin] : lines) {
        const IdiomKey key = resolve(idiom, pinyin);
        if (key.idiom.isEmpty())
            result.unknown.append(idiom);
        else if (inBook(key))
            ++result.already;
        else if (addToBook(key))
            ++result.added;
    }
    return result;
}
