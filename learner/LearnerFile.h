#pragma once

#include "Fsrs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct sqlite3;

// An idiom as the learner's file knows it: by its text, and by its pinyin where the store
// holds the same text twice, so a rebuilt store keeps the learner's records.
struct IdiomKey
{
    QString idiom;
    QString pinyin;
    friend bool operator==(const IdiomKey&, const IdiomKey&) = default;
};

// The learner's own SQLite file: history and word book, in WAL, every change committed when
// it is made. Never the idiom store. Qt Core and SQLite only.
class LearnerFile
{
public:
    enum class State
    {
        Closed,
        Open,        // read and written
        ReadOnly,    // another copy of the program holds the file: read, never written
        Unavailable, // the folder or the disk refuses it: no memory this time
    };
    struct Opened
    {
        State state = State::Closed;
        QString notice;       // for one "提示" box; empty when there is nothing to tell
        QString setAsidePath; // where a broken or newer file went
    };

    static constexpr int kSchemaVersion = 2;
    static constexpr int kHistoryCap = 1000;

    using Clock = std::function<qint64()>; // milliseconds since the epoch

    explicit LearnerFile(Clock clock = {});
    ~LearnerFile();
    LearnerFile(const LearnerFile&) = delete;
    LearnerFile& operator=(const LearnerFile&) = delete;

    // learner.db in the application's data folder.
    static QString defaultPath();

    Opened open(const QString& path);
    void close();
    State state() const { return m_state; }
    bool writable() const { return m_state == State::Open; }
    QString path() const { return m_path; }

    // Moves the idiom to the top of the history, once; the oldest beyond the cap go.
    bool addToHistory(const IdiomKey& key);
    QList<IdiomKey> history(int limit = kHistoryCap) const;

    bool inBook(const IdiomKey& key) const;
    bool addToBook(const IdiomKey& key);
    bool removeFromBook(const IdiomKey& key);
    QList<IdiomKey> book() const; // oldest first, as they were added
    int bookCount() const;

    // An import's lines into the book. `resolve` gives the store's key for a line, or an empty
    // idiom when the store does not know it; those are counted and named, never dropped.
    struct Imported
    {
        int added = 0;
        int already = 0;
        QStringList unknown;
    };
    Imported importToBook(const QList<std::pair<QString, QString>>& lines,
                          const std::function<IdiomKey(const QString&, const QString&)>& resolve);

    // The review. Days are days since the epoch (UTC); `kinds` is how many card kinds are
    // asked (CardKinds.h), each idiom of the book giving one card of each.
    struct DueCard
    {
        IdiomKey key;
        int kind = 0;
        Fsrs::Card card; // new: never reviewed
    };
    static constexpr int kNewCardsPerDay = 20;
    int dueCount(qint64 today, int newPerDay = kNewCardsPerDay, int kinds = 1) const;
    std::optional<DueCard> nextCard(qint64 today, int newPerDay = kNewCardsPerDay,
                                    int kinds = 1) const;
    // Schedules the card by the answer and logs it, in one durable commit.
    bool rate(const DueCard& due, Fsrs::Rating rating, qint64 today);
    int reviewCount() const;

private:
    int newToday(qint64 today) const;
    enum class Check
    {
        Good,
        Broken,
        Newer,
        Failed
    };
    bool openConnection(int flags);
    Check check();
    bool prepareForWriting(bool fresh);
    bool migrate(int from);
    bool exec(const char* sql);
    bool write(const char* sql, const IdiomKey& key, qint64 number = 0, bool withNumber = false);
    QList<IdiomKey> keys(const char* sql, int limit) const;
    QString setAside(const QString& why);
    qint64 now() const;

    Clock m_clock;
    sqlite3* m_db = nullptr;
    int m_lockFd = -1;
    State m_state = State::Closed;
    QString m_path;
};
