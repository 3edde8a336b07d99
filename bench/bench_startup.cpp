// Start-up benchmark: the time from process start to the main window shown with the full idiom
// list filled and painted, and the peak memory at that moment (the banner's browser starts
// only after it); then the time until the banner page has loaded
// (the list does not wait for it), and the peak memory of all the program's processes with the
// browser running. Then the same without the banner (WENQUELL_BANNER_MODULE set empty: no
// browser engine, no OpenGL).
//
//   build/bench/bench_startup [runs]
//
// Each run starts this program again as a child (so the time includes loading the program and
// its libraries); the child runs the program's own start-up (runFirstCopy). In turns with it
// runs bench_floor, a bare Qt list of the same idioms, and each start-up figure is also given
// as a ratio to that floor. Uses $DISPLAY when set, else the offscreen platform.

#include "AppPaths.h"
#include "BannerLoader.h"
#include "ListBox.h"
#include "Panel.h"
#include "Startup.h"
#include "uFrmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

static qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

static long statusKb(const QString& pid, const char* field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    return 0;
}

// This process and every process below it (the browser engine's helpers).
static long familyPeakKb()
{
    long total = statusKb(QStringLiteral("self"), "VmHWM:");
    QList<QString> parents{QString::number(::getpid())};
    while (!parents.isEmpty()) {
        const QString parent = parents.takeFirst();
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (!pid.front().isDigit())
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray s = stat.readAll();
            const QList<QByteArray> after = s.mid(s.lastIndexOf(')') + 2).split(' ');
            if (after.size() > 1 && after[1] == parent.toLatin1()) {
                total += statusKb(pid, "VmHWM:");
                parents.append(pid);
            }
        }
    }
    return total;
}

class Watch : public QObject
{
    Q_OBJECT
public:
    explicit Watch(qint64 startNs) : m_startNs(startNs) {}
    qint64 listNs = 0, bannerNs = 0;
    long listPeakKb = 0, familyPeakKb = 0;

public slots:
    void bannerLoaded(bool)
    {
        bannerNs = nowNs() - m_startNs;
        familyPeakKb = ::familyPeakKb();
        QTimer::singleShot(200, qApp, &QApplication::quit); // let the engine settle
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && listNs == 0) {
            listNs = nowNs() - m_startNs;
            listPeakKb = statusKb(QStringLiteral("self"), "VmHWM:");
        }
        return QObject::eventFilter(o, e);
    }

private:
    qint64 m_startNs;
};

static int child(int argc, char** argv, qint64 startNs)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool banner = BannerLoader::bannerWanted();
    AppPaths::setExecutableFileForTests(QStringLiteral(WQ_WENQUELL_EXE));
    Watch watch(startNs);
    int rows = 0;
    // The program's own start-up; the watch joins once the main window is made.
    runFirstCopy(argc, argv, [&](TFrmMain& w) {
        rows = int(w.ListBox1->count());
        w.ListBox1->viewport()->installEventFilter(&watch);
        // Waits for the banner's page. By name: linking the browser engine here would load it
        // before the window, which is what the program avoids.
        auto* poll = new QTimer(&w);
        QObject::connect(poll, &QTimer::timeout, [&w, poll, &watch] {
            QWidget* browser = w.pnlAD->findChild<QWidget*>(QStringLiteral("wbAD"));
            if (!browser)
                return;
            poll->stop();
            QObject::connect(browser, SIGNAL(loadFinished(bool)), &watch, SLOT(bannerLoaded(bool)));
        });
        if (banner)
            poll->start(1);
        else
            QTimer::singleShot(300, qApp, &QApplication::quit);
        QTimer::singleShot(20000, qApp, &QApplication::quit);
    });
    // The browser starts after the first paint: the peak then is the peak before it.
    const long familyKb = banner ? watch.familyPeakKb : statusKb(QStringLiteral("self"), "VmHWM:");
    std::printf("%lld %ld %d %lld %ld %ld\n", watch.listNs / 1000, watch.listPeakKb, rows,
                watch.bannerNs / 1000, familyKb, watch.listPeakKb);
    return 0;
}

struct Figures
{
    QList<double> values;
    void add(double v) { values.append(v); }
    double median() const
    {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        return v.isEmpty() ? -1 : v[v.size() / 2];
    }
    QString line(const char* unit) const
    {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        return QStringLiteral("median %1 %4, min %2 %4, max %3 %4")
            .arg(v[v.size() / 2], 0, 'f', 1)
            .arg(v.first(), 0, 'f', 1)
            .arg(v.last(), 0, 'f', 1)
            .arg(QLatin1String(unit));
    }
};

#include "bench_startup.moc"

struct Run
{
    Figures listMs, listMb, bannerMs, familyMb, beforeBrowserMb;
    int rows = 0;
};

// One run of the program's start-up (as a child of this program), with or without the banner.
static bool runChild(const char* self, bool banner, Run& out)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!banner)
        env.insert(QStringLiteral("WENQUELL_BANNER_MODULE"), QString());
    p.setProcessEnvironment(env);
    const qint64 start = nowNs();
    p.start(QString::fromLocal8Bit(self), {QStringLiteral("--child"), QString::number(start)});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        std::fprintf(stderr, "a run %s the banner failed\n", banner ? "with" : "without");
        return false;
    }
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 6)
        return false;
    out.listMs.add(f[0].toDouble() / 1000.0);
    out.listMb.add(f[1].toDouble() / 1024.0);
    out.rows = f[2].toInt();
    out.bannerMs.add(f[3].toDouble() / 1000.0);
    out.familyMb.add(f[4].toDouble() / 1024.0);
    out.beforeBrowserMb.add(f[5].toDouble() / 1024.0);
    return true;
}

// One run of the floor program on the same store.
static bool runFloor(Figures& out)
{
    QProcess p;
    const QString store =
        QFileInfo(QStringLiteral(WQ_WENQUELL_EXE)).absolutePath() + u'/' + AppPaths::StoreFile;
    p.start(QStringLiteral(WQ_FLOOR_EXE), {store, QString::number(nowNs())});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        std::fprintf(stderr, "a run of the floor failed\n");
        return false;
    }
    out.add(p.readAllStandardOutput().trimmed().split(' ').first().toDouble() / 1000.0);
    return true;
}

int main(int argc, char** argv)
{
    // The windows made here keep their learner's file in a folder of the run's own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QByteArray(argv[2]).toLongLong());

    const int runs = argc >= 2 ? std::max(1, atoi(argv[1])) : 7;
    Run with, without;
    Figures floor;
    // Taken in turns, so that the machine's changing load weighs on each alike.
    for (int i = 0; i < runs; ++i) {
        if (!runFloor(floor) || !runChild(argv[0], true, with) ||
            !runChild(argv[0], false, without))
            return 1;
    }
    const double floorMs = floor.median();
    const auto ratio = [floorMs](const Figures& f) { return f.median() / floorMs; };
    std::printf("start-up on the full store (%d idioms, %d runs, platform %s)\n", with.rows, runs,
                qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    std::printf("with the banner\n");
    std::printf("  peak memory before the browser (process): %s\n",
                qPrintable(with.beforeBrowserMb.line("MB")));
    std::printf("  full list painted:            %s\n", qPrintable(with.listMs.line("ms")));
    std::printf("  peak memory then (process):   %s\n", qPrintable(with.listMb.line("MB")));
    std::printf("  banner page loaded:           %s\n", qPrintable(with.bannerMs.line("ms")));
    std::printf("  peak memory, all processes:   %s\n", qPrintable(with.familyMb.line("MB")));
    std::printf("without the banner (no browser engine)\n");
    std::printf("  full list painted:            %s\n", qPrintable(without.listMs.line("ms")));
    std::printf("  peak memory (process):        %s\n", qPrintable(without.familyMb.line("MB")));
    std::printf("the floor (a bare QListWidget of the same idioms)\n");
    std::printf("  list painted:                 %s\n", qPrintable(floor.line("ms")));
    std::printf("table|start-up to the list shown, with the banner|%.1f|ms|%.1f|%.2f x the floor\n",
                with.listMs.median(), floorMs, ratio(with.listMs));
    std::printf(
        "table|start-up to the list shown, without the banner|%.1f|ms|%.1f|%.2f x the floor\n",
        without.listMs.median(), floorMs, ratio(without.listMs));
    std::printf("table|banner page loaded|%.1f|ms|\n", with.bannerMs.median());
    std::printf("table|peak memory, main process, no browser engine|%.1f|MB|\n",
                without.familyMb.median());
    std::printf("table|peak memory, main process, before the banner's browser starts|%.1f|MB|\n",
                with.beforeBrowserMb.median());
    std::printf("table|peak memory, main process, with the banner|%.1f|MB|\n",
                with.listMb.median());
    std::printf("table|peak memory, all processes, with the banner|%.1f|MB|\n",
                with.familyMb.median());
    return 0;
}
