#include "AppPaths.h"
#include "InstanceLock.h"
#include "WakeChannel.h"
#include "WakeServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

static unsigned modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// Runs a blocking send on another thread while this one serves the event loop.
static WakeChannel::SendResult sendWhileServing(const QString& caption, unsigned message,
                                                int timeoutMs = 3000)
{
    auto result = std::async(std::launch::async, [=] {
        return WakeChannel::sendMessage(caption, message, 0, 0, timeoutMs);
    });
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return result.get();
}

class TestSingleInstance : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_runtime;

private slots:
    void init()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    void lockIsExclusiveUntilReleased()
    {
        InstanceLock first(QStringLiteral("Lexivox.exe"));
        QVERIFY(first.owned());
        QVERIFY(!first.alreadyExists());
        QCOMPARE(first.path(), m_runtime.path() + QStringLiteral("/Lexivox.exe.lock"));
        {
            InstanceLock second(QStringLiteral("Lexivox.exe"));
            QVERIFY(second.alreadyExists());
            QVERIFY(!second.owned());
            second.release(); // a second copy's release changes nothing
        }
        InstanceLock third(QStringLiteral("Lexivox.exe"));
        QVERIFY(third.alreadyExists());
        first.release();
        InstanceLock fourth(QStringLiteral("Lexivox.exe"));
        QVERIFY(fourth.owned());
    }

    // The lock and the socket are always in one folder, whatever $XDG_RUNTIME_DIR names, so
    // that a second copy always finds the first.
    void lockAndSocketShareOneFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // "@" stands for the test's temporary folder
        QTest::addColumn<bool>("tempFolder");
        QTest::newRow("usable") << "@" << false;
        QTest::newRow("missing: made private") << "@/made/run" << false;
        QTest::newRow("nothing can be made there") << "/sys" << true;
        QTest::newRow("a file") << "@/file" << true;
        QTest::newRow("relative") << "run" << true;
        QTest::newRow("unset") << QString() << true;
    }
    void lockAndSocketShareOneFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, tempFolder);
        runtime.replace(QLatin1Char('@'), m_runtime.path());
        QFile(m_runtime.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
        if (runtime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        // A name of its own: in the shared temp folder other programs' tests may hold theirs.
        InstanceLock first(QStringLiteral("tst_singleinstance"));
        QVERIFY(first.owned());
        QVERIFY(InstanceLock(QStringLiteral("tst_singleinstance")).alreadyExists());
        const QString folder = QFileInfo(first.path()).path();
        QCOMPARE(QFileInfo(WakeChannel::socketPath(QStringLiteral("Wenquell"))).path(), folder);
        QCOMPARE(folder, tempFolder ? QDir::tempPath() : runtime);
        if (tempFolder)
            QVERIFY(first.path().endsWith(QLatin1Char('.') + QString::number(::getuid())));
        else
            QCOMPARE(modeOf(folder), 0700u);
        QCOMPARE(first.holder(), qint64(QCoreApplication::applicationPid()));
    }

    void lockHolders_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<qint64>("holder");
        QTest::newRow("held") << QByteArray("1: POSIX  ADVISORY  WRITE 7 fd:01:99 0 EOF\n"
                                            "2: FLOCK  ADVISORY  WRITE 4242 fd:01:1234 0 EOF\n")
                              << qint64(4242);
        QTest::newRow("a waiter's line") << QByteArray("2: -> FLOCK  ADVISORY  WRITE 17 fd:01:1234 "
                                                       "0 EOF\n")
                                         << qint64(0);
        QTest::newRow("another file")
            << QByteArray("2: FLOCK  ADVISORY  WRITE 4242 fd:01:12345 0 EOF\n") << qint64(0);
        QTest::newRow("empty") << QByteArray() << qint64(0);
    }
    void lockHolders()
    {
        QFETCH(QByteArray, table);
        QFETCH(qint64, holder);
        QCOMPARE(InstanceLock::holderIn(table, 0xfd, 1, 1234), holder);
    }

    // Out of file descriptors, the server keeps its socket and serves again once some are
    // free (a QLocalServer gives up for good and deletes its socket file).
    void theServerOutlivesAShortageOfDescriptors()
    {
#ifdef WENQUELL_SANITIZE
        // UBSan's own checks open a pipe to read memory; with no descriptor left they report
        // every member call as one on a broken object.
        QSKIP("the sanitizers need descriptors of their own");
#endif
        WakeServer server;
        QVERIFY(server.listen(QStringLiteral("Wenquell")));
        const QString path = WakeChannel::socketPath(QStringLiteral("Wenquell"));
        // Connections wait to be taken while descriptors run out.
        QList<int> idle;
        for (int i = 0; i < 20; ++i) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray name = QFile::encodeName(path);
            std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            QVERIFY(fd >= 0);
            QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            idle.append(fd);
        }
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = 256;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &tight), 0);
        // Every descriptor taken, then two given back: the server can take two connections.
        QList<int> taken;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            taken.append(fd);
        QVERIFY(taken.size() >= 2);
        ::close(taken.takeLast());
        ::close(taken.takeLast());
        QTest::qWait(2 * WakeServer::RetryAcceptMs);
        for (int fd : idle + taken)
            ::close(fd);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &saved), 0);
        QVERIFY(QFile::exists(path));
        QCOMPARE(sendWhileServing(QStringLiteral("Wenquell"), 1349),
                 WakeChannel::SendResult::Handled);
    }

    void requestLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("message");
        QTest::newRow("wake-up") << WakeChannel::formatRequest(1349, 0, 0) << true << 1349u;
        QTest::newRow("no newline") << QByteArray("1349 0 0") << true << 1349u;
        QTest::newRow("two numbers") << QByteArray("1349 0\n") << false << 0u;
        QTest::newRow("words") << QByteArray("wake up now\n") << false << 0u;
        QTest::newRow("empty") << QByteArray("\n") << false << 0u;
        QTest::newRow("negative message") << QByteArray("-1 0 0\n") << false << 0u;
    }
    void requestLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, ok);
        QFETCH(uint, message);
        unsigned m = 0;
        qint64 w = -1, l = -1;
        QCOMPARE(WakeChannel::parseRequest(line, &m, &w, &l), ok);
        if (ok) {
            QCOMPARE(m, message);
            QCOMPARE(w, 0);
            QCOMPARE(l, 0);
        }
    }

    void messageIsHandledBeforeTheSenderReturns()
    {
        WakeServer server;
        QVERIFY(server.listen(QStringLiteral("Wenquell")));
        QList<unsigned> handled;
        connect(&server, &WakeServer::messageReceived, this,
                [&](unsigned m, qint64, qint64) { handled.append(m); });
        QCOMPARE(sendWhileServing(QStringLiteral("Wenquell"), 1349),
                 WakeChannel::SendResult::Handled);
        QCOMPARE(handled, QList<unsigned>{1349});
        // Another caption is another window: nobody listens there.
        QCOMPARE(WakeChannel::sendMessage(QStringLiteral("Other"), 1349, 0, 0, 500),
                 WakeChannel::SendResult::NoWindow);
    }

    void staleSocketMeansNoWindowAndIsReplaced()
    {
        {
            QLocalServer dead;
            dead.setSocketOptions(QLocalServer::UserAccessOption);
            QVERIFY(dead.listen(WakeChannel::socketPath(QStringLiteral("Wenquell"))));
            // Leave the file behind, as a killed copy does.
            const QString path = WakeChannel::socketPath(QStringLiteral("Wenquell"));
            dead.close();
            QFile f(path);
            if (!f.exists())
                QVERIFY(f.open(QIODevice::WriteOnly)); // a plain leftover file
        }
        QCOMPARE(WakeChannel::sendMessage(QStringLiteral("Wenquell"), 1349, 0, 0, 500),
                 WakeChannel::SendResult::NoWindow);
        WakeServer server;
        QVERIFY(server.listen(QStringLiteral("Wenquell")));
        QCOMPARE(sendWhileServing(QStringLiteral("Wenquell"), 1349),
                 WakeChannel::SendResult::Handled);
    }

    void aServerThatNeverAnswersTimesOut()
    {
        QLocalServer mute;
        QVERIFY(mute.listen(WakeChannel::socketPath(QStringLiteral("Wenquell"))));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(WakeChannel::sendMessage(QStringLiteral("Wenquell"), 1349, 0, 0, 300),
                 WakeChannel::SendResult::NoReply);
        QVERIFY(clock.elapsed() < 2000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
