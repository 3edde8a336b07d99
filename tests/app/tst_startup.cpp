// The running copy's start-up as the program runs it, in this process: a start that fails
// says so and ends with 1; an error the game opener drops still leaves a line behind.

#include "ErrorGuard.h"
#include "Exception.h"
#include "InstanceLock.h"
#include "Startup.h"
#include "TestSupport.h"
#include "WakeChannel.h"

#include <QApplication>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <unistd.h>

namespace {

// What the code under it writes to standard error, while it lives.
class StandardError
{
public:
    StandardError()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StandardError() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // No banner: its browser engine cannot start twice in one process.
        qputenv("WENQUELL_BANNER_MODULE", QByteArray());
    }

    // A normal run ends with 0 (tests/e2e closes the real program's window); the speech
    // engine lives once per process, so this process starts the program only once.
    void aStartThatFailsSaysSoAndEndsWithOne()
    {
        AppDir dir;
        DialogRecorder dialogs;
        StandardError err;
        char name[] = "tst_startup";
        char* argv[] = {name, nullptr};
        QCOMPARE(runFirstCopy(1, argv,
                              [](TFrmMain&) { throw Exception(QStringLiteral("窗口做不出来")); }),
                 1);
        QCOMPARE(err.text().section(u'\n', -2),
                 QStringLiteral("Wenquell: 无法启动：窗口做不出来\n"));
        // On a display the user is told in a box too; offscreen there is no one to close it.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QVERIFY(dialogs.shown().isEmpty());
        else
            QCOMPARE(dialogs.lines(),
                     QStringList{QStringLiteral("Wenquell|Wenquell 无法启动：窗口做不出来")});
        for (const DialogRecorder::Shown& box : dialogs.shown())
            QCOMPARE(box.kind, MessageDialogs::Kind::Critical);
    }

    // A second copy that gets no answer says why and ends with 1; what holds the lock may be
    // no Wenquell at all.
    void aSecondCopyWithoutAnAnswerSaysWhy_data()
    {
        QTest::addColumn<bool>("muteListener");
        QTest::addColumn<QString>("line");
        QTest::newRow("lock held by another program")
            << false
            << "Wenquell: 没有打开窗口：锁文件 %1 被进程 %2（flock）占用，但没有 Wenquell "
               "窗口回应。\n";
        QTest::newRow("a listener that never answers")
            << true
            << "Wenquell: 没有打开窗口：锁文件 %1 被进程 %2（flock）占用，它的窗口在 5 "
               "秒内没有回应唤醒消息。\n";
    }
    void aSecondCopyWithoutAnAnswerSaysWhy()
    {
        QFETCH(bool, muteListener);
        QFETCH(QString, line);
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const QString lockFile = runtime.path() + QStringLiteral("/Lexivox.exe.lock");
        QProcess holder;
        holder.start(QStringLiteral("flock"), {QStringLiteral("-x"), lockFile,
                                               QStringLiteral("sleep"), QStringLiteral("60")});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY(InstanceLock(QStringLiteral("Lexivox.exe")).alreadyExists());
        QLocalServer mute;
        if (muteListener)
            QVERIFY(mute.listen(WakeChannel::socketPath(QStringLiteral("Wenquell"))));
        StandardError err;
        char name[] = "tst_startup";
        char* argv[] = {name, nullptr};
        QCOMPARE(WenquellMain(1, argv), 1);
        QCOMPARE(err.text(), line.arg(lockFile).arg(holder.processId()));
        holder.kill();
        holder.waitForFinished();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    // The game opener drops what goes wrong in opening the game, as it always has; the error
    // is not lost to whoever reads the program's output.
    void aDroppedErrorLeavesOneLine()
    {
        DialogRecorder dialogs;
        StandardError err;
        bool after = false;
        swallowed(QStringLiteral("成语游戏无法打开"), [&] {
            throw Exception(QStringLiteral("没有窗口"));
            after = true;
        });
        QCOMPARE(err.text(), QStringLiteral("Wenquell: 成语游戏无法打开：没有窗口\n"));
        QVERIFY(!after);
        QVERIFY(dialogs.shown().isEmpty());
    }
};

int main(int argc, char** argv)
{
    // The start-up makes its own application object; on the test display when there is one.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
