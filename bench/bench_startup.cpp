// Start-up benchmark: time from process start to the main window shown with the full idiom
// list filled and painted, and the peak memory of that process, on the real idiom store.
//
//   build/bench/bench_startup [runs]
//
// Each run starts this program again as a child (so the time includes loading the program and
// its libraries); the child builds the main window exactly as the program does and reports
// when the list has painted. Uses $DISPLAY when set, else the offscreen platform.

#include "AppPaths.h"
#include "BrowserEngine.h"
#include "ListBox.h"
#include "uFrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

static qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

static long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class PaintWatch : public QObject
{
public:
    explicit PaintWatch(qint64 startNs) : m_startNs(startNs) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const qint64 ns = nowNs() - m_startNs;
            const int rows = FrmMain ? FrmMain->ListBox1->count() : -1;
            QTimer::singleShot(0, [ns, rows] {
                std::printf("%lld %ld %d\n", ns / 1000, peakKb(), rows);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(o, e);
    }

private:
    qint64 m_startNs;
    bool m_done = false;
};

static int child(int argc, char** argv, qint64 startNs)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareBrowserEngine();
    QApplication app(argc, argv);
    AppPaths::setExecutableFileForTests(QStringLiteral(WQ_WENQUELL_EXE));
    TFrmMain w;
    FrmMain = &w;
    PaintWatch watch(startNs);
    w.ListBox1->viewport()->installEventFilter(&watch);
    w.show();
    app.exec();
    FrmMain = nullptr;
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QByteArray(argv[2]).toLongLong());

    const int runs = argc >= 2 ? std::max(1, atoi(argv[1])) : 7;
    QList<double> ms;
    QList<double> mb;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 start = nowNs();
        p.start(QString::fromLocal8Bit(argv[0]),
                {QStringLiteral("--child"), QString::number(start)});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 3)
            return 1;
        ms.append(f[0].toDouble() / 1000.0);
        mb.append(f[1].toDouble() / 1024.0);
        rows = f[2].toInt();
    }
    std::sort(ms.begin(), ms.end());
    std::sort(mb.begin(), mb.end());
    std::printf("start-up to the full list painted (%d idioms, %d runs, platform %s)\n", rows,
                runs, qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    std::printf("  time:        median %.1f ms, min %.1f ms, max %.1f ms\n", ms[ms.size() / 2],
                ms.first(), ms.last());
    std::printf("  peak memory: median %.1f MB, max %.1f MB (VmHWM)\n", mb[mb.size() / 2],
                mb.last());
    return 0;
}
