#include "Startup.h"

#include "AppTitle.h"
#include "BannerLoader.h"
#include "DbQuery.h"
#include "ErrorGuard.h"
#include "Gbk.h"
#include "GraphicUnits.h"
#include "InstanceLock.h"
#include "MessageDialogs.h"
#include "Statements.h"
#include "WakeChannel.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>
#include <memory>
#include <unistd.h>

// A second copy waits this long for the running copy to handle the wake-up message.
static constexpr int kWakeTimeoutMs = 5000;

namespace {

// A start that fails says so: one line on standard error always, and a box on a display (the
// offscreen and minimal platforms have no one to press its button).
void reportStartFailure(std::exception_ptr error)
{
    const QString text = QStringLiteral("无法启动：") + errorText(error);
    printErrorLine(text);
    const QString platform = QGuiApplication::platformName();
    if (qApp && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        MessageDialogs::show(nullptr, MessageDialogs::Kind::Critical, appTitle(),
                             appTitle() + QLatin1Char(' ') + text);
}

} // namespace

int runFirstCopy(int argc, char** argv, const std::function<void(TFrmMain&)>& made)
{
    // What goes wrong before the application object exists is reported once it does.
    std::exception_ptr early;
    try {
        // The full list is read on a thread of its own while the window is being made, with
        // the idioms' texts for the list; filling the list takes them from there.
        DbQuery::readAhead(storeConnectionString(), Gbk::toUnicode(Statements::fullList()),
                           Fields::Idiom);
        // The banner's browser engine needs its settings before the application object exists.
        BannerLoader::prepareEngine();
    } catch (...) {
        early = std::current_exception();
    }
    QApplication app(argc, argv);
    const auto forget = qScopeGuard([] {
        tTest = nullptr;
        FrmMain = nullptr;
    });
    try {
        if (early)
            std::rethrow_exception(early);
        MessageDialogs::installErrorReporter();
        // The PNG codec test, before any window exists; the picture units' exits run at the end.
        const GraphicUnits graphicUnits;
        QApplication::setApplicationName(appTitle());
        QApplication::setApplicationVersion(QStringLiteral(WENQUELL_VERSION));
        QApplication::setApplicationDisplayName(QString());
        // Closing the main window ends the run, whatever other windows are open.
        QApplication::setQuitOnLastWindowClosed(false);

        auto mainWindow = std::make_unique<TFrmMain>();
        FrmMain = mainWindow.get();
        // The game window made at start-up stays hidden; each game gets a window of its own.
        auto startupTest = std::make_unique<TtTest>();
        tTest = startupTest.get();

        QObject::connect(mainWindow.get(), &TFrmMain::closed, &app, &QApplication::quit);
        if (made)
            made(*mainWindow);
        mainWindow->show();
        app.exec();
        return 0;
    } catch (...) {
        // The windows are gone by now; the box stands alone.
        reportStartFailure(std::current_exception());
        return 1;
    }
}

namespace {

QString processName(qint64 pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

// "进程 4242（sleep）", or "另一个进程" when the holder cannot be told.
QString describeProcess(qint64 pid)
{
    if (pid <= 0)
        return QStringLiteral("另一个进程");
    const QString name = processName(pid);
    return name.isEmpty() ? QStringLiteral("进程 %1").arg(pid)
                          : QStringLiteral("进程 %1（%2）").arg(pid).arg(name);
}

// A second copy wakes the running one. One that gets no answer says why on standard error and
// ends with 1: the lock may be held by something that is not a running Wenquell at all.
int wakeRunningCopy(const InstanceLock& lock)
{
    QElapsedTimer clock;
    clock.start();
    WakeChannel::SendResult sent;
    for (;;) {
        sent = WakeChannel::sendMessage(appTitle(), WM_APPRESTORE, 0, 0,
                                        int(qMax<qint64>(1, kWakeTimeoutMs - clock.elapsed())));
        if (sent != WakeChannel::SendResult::NoWindow || clock.elapsed() >= kWakeTimeoutMs)
            break;
        // No window yet: the running copy may still be starting, unless the holder is plainly
        // another program.
        const QString holder = processName(lock.holder());
        if (!holder.isEmpty() && holder != processName(::getpid()))
            break;
        QThread::msleep(100);
    }
    const QString holder = describeProcess(lock.holder());
    switch (sent) {
    case WakeChannel::SendResult::Handled:
        return 0;
    case WakeChannel::SendResult::NoWindow:
        printErrorLine(
            QStringLiteral("没有打开窗口：锁文件 %1 被%2占用，但没有 Wenquell 窗口回应。")
                .arg(lock.path(), holder));
        break;
    case WakeChannel::SendResult::NoReply:
        printErrorLine(
            QStringLiteral("没有打开窗口：锁文件 %1 被%2占用，它的窗口在 %3 秒内没有回应唤醒消息。")
                .arg(lock.path(), holder)
                .arg(kWakeTimeoutMs / 1000));
        break;
    }
    return 1;
}

} // namespace

int WenquellMain(int argc, char** argv)
{
    InstanceLock lock(QStringLiteral("Lexivox.exe"));
    int exitCode = 0;
    if (lock.alreadyExists()) {
        exitCode = wakeRunningCopy(lock);
    } else {
        try {
            exitCode = runFirstCopy(argc, argv);
        } catch (...) {
            // The application object itself could not be made.
            reportStartFailure(std::current_exception());
            exitCode = 1;
        }
    }
    // The lock is released in every path.
    lock.release();
    return exitCode;
}
