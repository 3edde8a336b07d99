// Runs the real program as separate processes: one running copy per user, a second copy
// wakes it and ends without a window of its own.

#include "LearnerFile.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <cstdio>

// QVERIFY2 works out its message even when the check holds; a description attaches a
// debugger to the copy, which must not happen to a copy that is doing fine.
#define VERIFY_ELSE_DESCRIBE(condition, description)                                               \
    do {                                                                                           \
        if (!(condition))                                                                          \
            QFAIL((description));                                                                  \
    } while (false)

class TestProcess : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_dataHome; // the copies' learner's file, never the user's
    QTemporaryDir m_appDir;
    QString m_exe;
    QList<QProcess*> m_started;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome.path());
        env.insert(QStringLiteral("WENQUELL_LEARNER_FILE"), learnerPath());
        // The copy of the program has no banner module beside it: it uses the build's.
        if (!env.contains(QStringLiteral("WENQUELL_BANNER_MODULE")))
            env.insert(QStringLiteral("WENQUELL_BANNER_MODULE"), QStringLiteral(WQ_BANNER_MODULE));
        if (env.value(QStringLiteral("DISPLAY")).isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    QProcess* start()
    {
        auto* p = new QProcess(this);
        p->setProcessEnvironment(environment());
        // Kept, not forwarded: a copy that goes wrong is described with what it printed.
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(m_exe, {});
        m_started.append(p);
        return p;
    }

    QString learnerPath() const { return m_dataHome.filePath(QStringLiteral("learner.db")); }

    QString socketPath() const { return m_runtime.path() + QStringLiteral("/Wenquell.sock"); }

    // True once the running copy's window listens for the wake-up message.
    bool waitUntilListening(int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (QFile::exists(socketPath()))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    // What became of a copy that did not do what was expected: whether it runs, how it
    // ended, what it printed, and where each of its threads is when it still runs.
    QByteArray describe(QProcess* p) const
    {
        QByteArray text;
        if (p->state() == QProcess::NotRunning) {
            text = QByteArray("the copy ended: ") +
                   (p->exitStatus() == QProcess::CrashExit ? "crashed" : "exit code ") +
                   QByteArray::number(p->exitCode());
        } else {
            text = "the copy still runs (pid " + QByteArray::number(p->processId()) + ")";
            if (!QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty()) {
                QProcess gdb;
                gdb.setProcessChannelMode(QProcess::MergedChannels);
                gdb.start(QStringLiteral("gdb"),
                          {QStringLiteral("-p"), QString::number(p->processId()),
                           QStringLiteral("-batch"), QStringLiteral("-ex"),
                           QStringLiteral("thread apply all bt 30")});
                gdb.waitForFinished(60000);
                text += "\nits threads:\n" + gdb.readAll();
            }
        }
        text += "\nit printed:\n" + p->readAll();
        // In full here: a failure's own message is cut short.
        std::fprintf(stderr, "%s\n", text.constData());
        return text.left(text.indexOf('\n'));
    }

    // Top-level windows captioned "Wenquell" on the test display; -1 without a display.
    int countWindows() const
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return -1;
        QProcess x;
        x.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), QStringLiteral("^Wenquell$")});
        x.waitForFinished(5000);
        const QList<QByteArray> lines = x.readAllStandardOutput().trimmed().split('\n');
        return lines.size() == 1 && lines[0].isEmpty() ? 0 : int(lines.size());
    }

    // The main window's X id once it is on screen (empty if it is not within `ms`).
    QString visibleMainWindow(int ms) const
    {
        QString window;
        QElapsedTimer shown;
        shown.start();
        while ((window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                  QStringLiteral("--name"), QStringLiteral("^Wenquell$")}))
                   .isEmpty() &&
               shown.elapsed() < ms)
            QTest::qWait(100);
        return window;
    }

    QString xdotool(const QStringList& args) const
    {
        QProcess x;
        x.start(QStringLiteral("xdotool"), args);
        x.waitForFinished(5000);
        return QString::fromLocal8Bit(x.readAllStandardOutput()).trimmed();
    }

    QString mapState(const QString& window) const
    {
        QProcess x;
        x.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        x.waitForFinished(5000);
        const QString out = QString::fromLocal8Bit(x.readAllStandardOutput());
        const qsizetype at = out.indexOf(QStringLiteral("Map State: "));
        return at < 0 ? QString() : out.mid(at + 11).section(QLatin1Char('\n'), 0, 0).trimmed();
    }

    void stopAll()
    {
        for (QProcess* p : m_started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        qDeleteAll(m_started);
        m_started.clear();
        QFile::remove(socketPath());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid() && m_appDir.isValid());
        m_exe = m_appDir.filePath(QStringLiteral("wenquell"));
        QVERIFY(QFile::copy(QStringLiteral(WQ_WENQUELL_EXE), m_exe));
        // Its sound module beside it, as installed.
        QVERIFY(QFile::copy(QStringLiteral(WQ_SOUND_MODULE),
                            m_appDir.filePath(QStringLiteral("libwenquell-sound.so"))));
        QDir(m_appDir.path()).mkpath(QStringLiteral("data"));
        QVERIFY(QFile::copy(QStringLiteral(WQ_FIXTURE_DB), m_appDir.filePath("data/EduData.db")));
    }

    void cleanup() { stopAll(); }

    void secondCopyWakesTheFirstAndEnds()
    {
        QProcess* first = start();
        QVERIFY(first->waitForStarted());
        VERIFY_ELSE_DESCRIBE(waitUntilListening(), describe(first));

        QElapsedTimer clock;
        clock.start();
        QProcess* second = start();
        VERIFY_ELSE_DESCRIBE(second->waitForFinished(5000), describe(second));
        qInfo("second copy ended after %lld ms", clock.elapsed());
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        const int windows = countWindows();
        if (windows >= 0)
            QCOMPARE(windows, 1);
    }

    void minimisedFirstCopyIsRestored()
    {
        const QStringList tools = {QStringLiteral("openbox"), QStringLiteral("xdotool"),
                                   QStringLiteral("xwininfo")};
        for (const QString& tool : tools)
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP("needs openbox, xdotool and xwininfo");
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        // Minimising takes a window manager.
        QProcess wm;
        wm.start(QStringLiteral("openbox"), {QStringLiteral("--replace")});
        QVERIFY(wm.waitForStarted());
        auto stopWm = qScopeGuard([&] {
            wm.terminate();
            wm.waitForFinished(5000);
        });
        QTest::qWait(500);

        QProcess* first = start();
        VERIFY_ELSE_DESCRIBE(waitUntilListening(), describe(first));
        const QString window = visibleMainWindow(10000);
        if (window.isEmpty()) {
            QProcess tree;
            tree.start(QStringLiteral("xwininfo"),
                       {QStringLiteral("-root"), QStringLiteral("-tree")});
            tree.waitForFinished(5000);
            std::fprintf(stderr, "the display's windows:\n%s\nthe window manager %s\n",
                         tree.readAll().constData(),
                         wm.state() == QProcess::Running ? "runs" : "has ended");
            QFAIL(describe(first).constData());
        }
        xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), window});
        QTRY_COMPARE_WITH_TIMEOUT(mapState(window), QStringLiteral("IsUnMapped"), 5000);

        QProcess* second = start();
        VERIFY_ELSE_DESCRIBE(second->waitForFinished(5000), describe(second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(mapState(window), QStringLiteral("IsViewable"), 5000);
        QCOMPARE(countWindows(), 1);
    }

    void killedFirstCopyLeavesNothingBehind()
    {
        QProcess* first = start();
        VERIFY_ELSE_DESCRIBE(waitUntilListening(), describe(first));
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFile::exists(socketPath())); // left behind by the killed copy

        QProcess* next = start();
        QTest::qWait(1500);
        VERIFY_ELSE_DESCRIBE(next->state() == QProcess::Running, describe(next)); // the first copy
        QProcess* second = start();
        VERIFY_ELSE_DESCRIBE(second->waitForFinished(5000), describe(second));
        QCOMPARE(second->exitCode(), 0);
        VERIFY_ELSE_DESCRIBE(next->state() == QProcess::Running, describe(next));
    }

    // An idiom put in the word book is on the disk when the program is killed right after.
    void anAddSurvivesTheProgramKilledRightAfter()
    {
        for (const QString& tool : {QStringLiteral("openbox"), QStringLiteral("xdotool")})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP("needs openbox and xdotool");
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        QProcess wm; // so that a click gives the window the keyboard
        wm.start(QStringLiteral("openbox"), {QStringLiteral("--replace")});
        QVERIFY(wm.waitForStarted());
        auto stopWm = qScopeGuard([&] {
            wm.terminate();
            wm.waitForFinished(5000);
        });
        QTest::qWait(500);
        for (const char* end : {"", "-wal", "-shm"})
            QFile::remove(learnerPath() + QLatin1String(end));

        QProcess* first = start();
        VERIFY_ELSE_DESCRIBE(waitUntilListening(), describe(first));
        const QString window = visibleMainWindow(20000);
        VERIFY_ELSE_DESCRIBE(!window.isEmpty(), describe(first));
        // The file is opened after the first paint.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(learnerPath()), 30000);
        // The list's second row (rows of 22 pixels from 41,110), then the word book's key.
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                 QStringLiteral("100"), QStringLiteral("144"), QStringLiteral("click"),
                 QStringLiteral("1")});
        QTest::qWait(300);
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+b")});
        // As soon as a reader sees the add, the program is killed: no clean end, no checkpoint.
        LearnerFile reader;
        QElapsedTimer added;
        added.start();
        int count = 0;
        while (added.elapsed() < 20000) {
            reader.open(learnerPath());
            count = reader.bookCount();
            reader.close();
            if (count > 0)
                break;
            QTest::qWait(20);
        }
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        VERIFY_ELSE_DESCRIBE(count == 1, describe(first));

        LearnerFile after;
        QCOMPARE(after.open(learnerPath()).state, LearnerFile::State::Open);
        QCOMPARE(after.bookCount(), 1);
        QVERIFY(!after.book().value(0).idiom.isEmpty());
        QVERIFY(!after.history().isEmpty());
    }

    void twoCopiesAtOnceGiveOneWindow()
    {
        QProcess* a = start();
        QProcess* b = start();
        VERIFY_ELSE_DESCRIBE(waitUntilListening(), (describe(a) + '\n' + describe(b)));
        QTest::qWait(1500);
        const int running = (a->state() == QProcess::Running) + (b->state() == QProcess::Running);
        QCOMPARE(running, 1);
        QProcess* ended = a->state() == QProcess::Running ? b : a;
        QCOMPARE(ended->exitCode(), 0);
        const int windows = countWindows();
        if (windows >= 0)
            QCOMPARE(windows, 1);
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
