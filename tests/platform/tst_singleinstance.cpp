#include "AppPaths.h"
#include "InstanceLock.h"
#include "WakeChannel.h"
#include "WakeServer.h"

#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <future>

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

    void unwritableRuntimeDirRunsAsFirstCopy()
    {
        qputenv("XDG_RUNTIME_DIR", "/proc");
        InstanceLock lock(QStringLiteral("Lexivox.exe"));
        QVERIFY(!lock.alreadyExists());
        InstanceLock again(QStringLiteral("Lexivox.exe"));
        QVERIFY(!again.alreadyExists());
    }

    void noRuntimeDirFallsBackToTempPerUser()
    {
        qunsetenv("XDG_RUNTIME_DIR");
        const QString path = AppPaths::runtimeFile(QStringLiteral("Wenquell.sock"));
        QVERIFY(path.startsWith(QDir::tempPath() + QLatin1Char('/')));
        QVERIFY(path.endsWith(QLatin1Char('.') + QString::number(::getuid())));
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
