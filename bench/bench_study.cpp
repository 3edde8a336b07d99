// The learner's file under a heavy learner: 10,000 idioms in the word book, 100,000 history
// rows and 50,000 logged reviews. Opening it (integrity check, migration check, WAL), one add
// and one remove (each durable), the look-ups the page and the mark make, the review's due
// count, next card and one rating (durable), and the file's size.
//
//   build/bench/bench_study [runs]

#include "LearnerFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>

static void report(const char* what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf(
        "%-18s runs %4lld   min %7.3f ms   median %7.3f ms   mean %7.3f ms   max %7.3f ms\n", what,
        qlonglong(ms.size()), ms.first(), ms[ms.size() / 2], sum / ms.size(), ms.last());
    std::printf("table|study %s|%.3f|ms|\n", what, ms[ms.size() / 2]);
}

static QList<double> timed(int runs, const std::function<void(int)>& step)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        ms.append(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("learner.db"));
    {
        LearnerFile file;
        if (file.open(path).state != LearnerFile::State::Open)
            return 1;
    }
    // Filled behind the file's back, in one transaction: the sizes a heavy learner reaches.
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "BEGIN;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
                 " INSERT INTO history SELECT '成语' || i, 'chéng yǔ ' || i, i FROM n;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
                 " INSERT INTO book SELECT '成语' || i, 'chéng yǔ ' || i, 1765400000000 + i FROM n;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
                 " INSERT INTO card SELECT '成语' || i, 'chéng yǔ ' || i, 0,"
                 " 20430 + i % 60, 3.2, 5.1, 5, 0, 20400, 30 + i % 60, 20300 FROM n;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000)"
                 " INSERT INTO review_log(idiom, pinyin, kind, rating, reviewed)"
                 " SELECT '成语' || (i % 10000 + 1), 'chéng yǔ ' || (i % 10000 + 1), 0, i % 4 + 1,"
                 " 1765400000000 + i FROM n;"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);

    LearnerFile file;
    report("open", timed(std::min(runs, 50), [&](int) {
               file.close();
               file.open(path);
           }));
    report("add (durable)", timed(runs, [&](int i) {
               file.addToBook({QStringLiteral("新成语%1").arg(i), QString()});
           }));
    report("remove (durable)", timed(runs, [&](int i) {
               file.removeFromBook({QStringLiteral("新成语%1").arg(i), QString()});
           }));
    report("in the book?", timed(runs, [&](int i) {
               file.inBook({QStringLiteral("成语%1").arg(i * 37 % 10000 + 1),
                            QStringLiteral("chéng yǔ %1").arg(i * 37 % 10000 + 1)});
           }));
    report("book count", timed(runs, [&](int) { file.bookCount(); }));
    report("page's history", timed(std::min(runs, 50), [&](int) { file.history(); }));
    report("page's book", timed(std::min(runs, 50), [&](int) { file.book(); }));
    // The first step of the history trims it to its cap; later steps are the usual case.
    report("history step", timed(runs, [&](int i) {
               file.addToHistory({QStringLiteral("成语%1").arg(i % 500 + 1), QString()});
           }));
    const qint64 today = 20460; // some 1,000 of the cards are due
    report("due count", timed(runs, [&](int) { file.dueCount(today); }));
    report("next card", timed(runs, [&](int) { file.nextCard(today); }));
    report("one rating", timed(runs, [&](int i) {
               if (const auto card = file.nextCard(today))
                   file.rate(*card, Fsrs::Rating(i % 4 + 1), today);
           }));
    file.close();
    const qint64 size = QFileInfo(path).size();
    std::printf("file size %.1f MB\n", size / 1048576.0);
    std::printf("table|study file size|%.1f|MB|\n", size / 1048576.0);
    return 0;
}
