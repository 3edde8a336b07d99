// The searches after the defined ones, and every search figure, on the real store and on a
// store ten times its size made here from it (never kept): each copy's Han characters moved
// to others by a fixed step, so that the copies are new texts of the same lengths and shapes.
//  - the defined searches, as in bench_dictionary;
//  - the meaning search (three or more characters, one character, traditional characters),
//    the shape search (一?一?, AABB), the idioms inside a 5,000-character text (the finder
//    alone, and the whole search through the button), each filling the result list;
//  - the finder's build (once, off the GUI thread), the meaning index's size and build time.
//
//   build/bench/bench_search [runs]
//
// Lines starting with "table|" are for bench/perf-table.sh.

#include "AppPaths.h"
#include "DbConnection.h"
#include "IdiomFinder.h"
#include "ListBox.h"
#include "MeaningSearch.h"
#include "MessageDialogs.h"
#include "ShapeSearch.h"
#include "SimplifiedChinese.h"
#include "uFrmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

double median(QList<double> v)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error);
        std::exit(1);
    }
}

double scalar(sqlite3* db, const char* sql)
{
    sqlite3_stmt* s = nullptr;
    double value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        value = sqlite3_column_double(s, 0);
    sqlite3_finalize(s);
    return value;
}

// A Han character of the basic block (all of it in GBK) moved `step` places within it.
QString shifted(const QString& text, int step)
{
    QString out = text;
    for (QChar& c : out) {
        const int u = c.unicode();
        if (u >= 0x4E00 && u <= 0x9FA5)
            c = QChar(char16_t(0x4E00 + (u - 0x4E00 + step) % (0x9FA5 - 0x4E00 + 1)));
    }
    return out;
}

struct IndexFigures
{
    double ms = 0;
    double mb = 0;
};

// Rebuilds the meaning index of the store at `path` as the builder does; its time and size.
IndexFigures rebuildIndex(sqlite3* db)
{
    QElapsedTimer t;
    t.start();
    exec(db, "INSERT INTO ChenYuText (ChenYuText) VALUES ('rebuild');"
             "INSERT INTO ChenYuText (ChenYuText) VALUES ('optimize'); VACUUM;");
    IndexFigures f;
    f.ms = t.nsecsElapsed() / 1e6;
    f.mb = scalar(db, "SELECT sum(pgsize) FROM dbstat WHERE name LIKE 'ChenYuText%'") / 1e6;
    return f;
}

// The store ten times over in `path`: the real rows, then nine copies with moved characters.
IndexFigures makeLargeStore(const QString& real, const QString& path)
{
    QFile::remove(path);
    if (!QFile::copy(real, path) ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(real));
        std::exit(1);
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    QList<QStringList> rows;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT ChengYu, PingYin, SPingYin, DianGu, LiZi, Chuchu FROM ChenYu "
                       "ORDER BY id",
                       -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i))));
        rows.append(row);
    }
    sqlite3_finalize(s);
    exec(db, "BEGIN");
    sqlite3_prepare_v2(db,
                       "INSERT INTO ChenYu (ChengYu, PingYin, SPingYin, DianGu, LiZi, "
                       "Chuchu) VALUES (?, ?, ?, ?, ?, ?)",
                       -1, &s, nullptr);
    for (int copy = 1; copy < 10; ++copy) {
        for (const QStringList& row : rows) {
            for (int i = 0; i < 6; ++i) {
                const QByteArray text =
                    (i == 1 || i == 2 ? row[i] : shifted(row[i], copy * 1709)).toUtf8();
                sqlite3_bind_text(s, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            sqlite3_step(s);
            sqlite3_reset(s);
        }
    }
    sqlite3_finalize(s);
    exec(db, "COMMIT");
    const IndexFigures f = rebuildIndex(db);
    sqlite3_close(db);
    return f;
}

struct Search
{
    const char* label;
    QString text;
    bool pinyin;
};

// Every search through the button, median of `runs`, into the result list.
void searches(const QString& storeName, const QString& store, int runs, const QString& paragraph)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("data")));
    QFile::copy(store, dir.filePath(QStringLiteral("data/EduData.db")));
    AppPaths::setExecutableFileForTests(dir.filePath(QStringLiteral("wenquell")));
    TFrmMain w;
    FrmMain = &w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w) || w.ListBox1->count() == 0) {
        std::fprintf(stderr, "The idiom store %s is empty or missing.\n", qPrintable(store));
        std::exit(1);
    }
    std::printf("%s: %d idioms\n", qPrintable(storeName), w.ListBox1->count());
    SimplifiedChinese::fromTraditional(QStringLiteral("畫")); // its set-up is paid once, elsewhere

    QElapsedTimer build;
    build.start();
    const IdiomFinder finder(w.ListBox1->items());
    const double buildMs = build.nsecsElapsed() / 1e6;
    std::printf("  finder built (once, off the GUI thread): %.1f ms\n", buildMs);
    std::printf("table|%s: idiom finder built (once, off the GUI thread)|%.2f|ms|\n",
                qPrintable(storeName), buildMs);
    QList<double> findMs;
    qsizetype found = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        found = finder.find(paragraph).size();
        findMs.append(t.nsecsElapsed() / 1e6);
    }
    std::printf("  finder alone, %lld characters: %.2f ms (%lld idioms)\n",
                static_cast<long long>(paragraph.size()), median(findMs),
                static_cast<long long>(found));
    std::printf("table|%s: idioms inside a 5,000-character text (finder alone)|%.2f|ms|\n",
                qPrintable(storeName), median(findMs));

    // The new tries alone, without the defined tries before them.
    const std::pair<const char*, QString> meanings[] = {
        {"形容很多 (three-plus characters)", QStringLiteral("形容很多")},
        {"们 (one character)", QStringLiteral("们")},
        {"说话有分量 (converted from traditional)", QStringLiteral("说话有分量")}};
    for (const auto& [label, needle] : meanings) {
        QList<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            found = MeaningSearch::find(w.ADOConnection1->handle(), needle).size();
            ms.append(t.nsecsElapsed() / 1e6);
        }
        std::printf("  meaning search alone, %s: %lld results, median %.2f ms\n", label,
                    static_cast<long long>(found), median(ms));
        std::printf("table|%s: meaning search alone, %s|%.2f|ms|\n", qPrintable(storeName), label,
                    median(ms));
    }
    for (const QString& shape : {QStringLiteral("一?一?"), QStringLiteral("AABB")}) {
        QList<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            found = ShapeSearch::filter(ShapeSearch::parse(shape), w.ListBox1->items()).size();
            ms.append(t.nsecsElapsed() / 1e6);
        }
        std::printf("  shape search alone, %s: %lld results, median %.2f ms\n", qPrintable(shape),
                    static_cast<long long>(found), median(ms));
        std::printf("table|%s: shape search alone, %s|%.2f|ms|\n", qPrintable(storeName),
                    qPrintable(shape), median(ms));
    }

    const Search all[] = {
        {"yi", QStringLiteral("yi"), true},
        {"yyjd", QStringLiteral("yyjd"), true},
        {"一", QStringLiteral("一"), false},
        {"%", QStringLiteral("%"), true},
        {"yi yan jiu ding", QStringLiteral("yi yan jiu ding"), true},
        {"畫龍點睛", QStringLiteral("畫龍點睛"), false},
        {"meaning 形容很多 (three-plus characters)", QStringLiteral("形容很多"), false},
        {"meaning 们 (one character)", QStringLiteral("们"), false},
        {"meaning 說話有分量 (traditional)", QStringLiteral("說話有分量"), false},
        {"shape 一?一?", QStringLiteral("一?一?"), false},
        {"shape AABB", QStringLiteral("AABB"), false},
        {"idioms inside a 5,000-character text (whole search)", paragraph, false},
    };
    for (const Search& s : all) {
        (s.pinyin ? w.RadPinYin : w.RadHanZi)->setChecked(true);
        QList<double> ms;
        for (int i = 0; i < runs; ++i) {
            w.edSou->setText(s.text);
            QElapsedTimer t;
            t.start();
            w.BitBtn2Click(w.BitBtn2);
            ms.append(t.nsecsElapsed() / 1e6);
            QApplication::processEvents();
        }
        std::printf("  search %s: %d results, median %.2f ms\n", s.label, w.ListBox2->count(),
                    median(ms));
        std::printf("table|%s: search %s|%.2f|ms|\n", qPrintable(storeName), s.label, median(ms));
    }
    FrmMain = nullptr;
}

// About 5,000 characters of the store's own explanations, which name idioms now and then.
QString paragraphOf(const QString& store)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(store.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT DianGu FROM ChenYu WHERE id % 97 = 0 ORDER BY id", -1, &s,
                       nullptr);
    QString text;
    while (text.size() < 5000 && sqlite3_step(s) == SQLITE_ROW)
        text += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return text.left(5000);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("WENQUELL_BANNER_MODULE", "");
    QApplication app(argc, argv);
    MessageDialogs::installErrorReporter();
    // A search that finds nothing would wait for its box to be closed.
    MessageDialogs::setRecorder([](MessageDialogs::Kind, const QString&, const QString&) {});
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString real = QStringLiteral(WQ_BUILD_DIR "/data/EduData.db");
    if (!QFile::exists(real)) {
        std::fprintf(stderr, "The idiom store is missing: build it first (./run.sh).\n");
        return 1;
    }
    QTemporaryDir work;
    const QString large = work.filePath(QStringLiteral("EduData-10x.db"));

    {
        const QString copy = work.filePath(QStringLiteral("EduData-copy.db"));
        QFile::copy(real, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        sqlite3* db = nullptr;
        sqlite3_open(copy.toUtf8().constData(), &db);
        const IndexFigures f = rebuildIndex(db);
        sqlite3_close(db);
        std::printf("real store: meaning index %.1f MB, built in %.0f ms; file %.1f MB\n", f.mb,
                    f.ms, QFileInfo(real).size() / 1e6);
        std::printf("table|real store: meaning index size|%.1f|MB|\n", f.mb);
        std::printf("table|real store: meaning index build (the builder's extra time)|%.0f|ms|\n",
                    f.ms);
    }
    const IndexFigures f = makeLargeStore(real, large);
    std::printf("10x store: meaning index %.1f MB, built in %.0f ms; file %.1f MB\n", f.mb, f.ms,
                QFileInfo(large).size() / 1e6);
    std::printf("table|10x store: meaning index size|%.1f|MB|\n", f.mb);
    std::printf("table|10x store: meaning index build|%.0f|ms|\n", f.ms);

    const QString paragraph = paragraphOf(real);
    searches(QStringLiteral("real store"), real, runs, paragraph);
    searches(QStringLiteral("10x store"), large, runs, paragraph);
    return 0;
}
