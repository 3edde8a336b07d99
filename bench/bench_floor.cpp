// The floor for start-up: the least a Qt program does to show the idiom list. A QApplication,
// one QListWidget of 147 x 451 with rows of one height holding every ChengYu of the store (read
// with the SQLite C API), shown. Prints the microseconds from the given start (CLOCK_REALTIME
// nanoseconds, taken by the parent just before it started this process) to the list's first paint.
//
//   build/bench/bench_floor <store> <start-ns>       (bench_startup runs it)

#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

static qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

class FirstPaint : public QObject
{
public:
    qint64 atNs = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && atNs == 0) {
            atNs = nowNs();
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(o, e);
    }
};

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const qint64 startNs = QByteArray(argv[2]).toLongLong();
    QApplication app(argc, argv);
    QListWidget list;
    list.resize(147, 451);
    list.setUniformItemSizes(true); // else the view measures each of the 30,000 rows first
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "select ChengYu from ChenYu", -1, &rows, nullptr) != SQLITE_OK)
        return 1;
    QStringList idioms;
    while (sqlite3_step(rows) == SQLITE_ROW)
        idioms.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0))));
    list.addItems(idioms);
    sqlite3_finalize(rows);
    sqlite3_close(db);
    FirstPaint watch;
    list.viewport()->installEventFilter(&watch);
    list.show();
    QTimer::singleShot(20000, &app, &QApplication::quit);
    app.exec();
    std::printf("%lld %d\n", (watch.atNs - startNs) / 1000, int(list.count()));
    return watch.atNs ? 0 : 1;
}
