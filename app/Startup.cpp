#include "Startup.h"

#include "AppTitle.h"
#include "BannerLoader.h"
#include "DbQuery.h"
#include "Gbk.h"
#include "GraphicUnits.h"
#include "InstanceLock.h"
#include "MessageDialogs.h"
#include "Statements.h"
#include "WakeChannel.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QApplication>
#include <memory>

// A second copy waits this long for the running copy to handle the wake-up message.
static constexpr int kWakeTimeoutMs = 5000;

void runFirstCopy(int argc, char** argv, const std::function<void(TFrmMain&)>& made)
{
    // The full list is read on a thread of its own while the window is being made, with the
    // idioms' texts for the list; filling the list takes them from there.
    DbQuery::readAhead(storeConnectionString(), Gbk::toUnicode(Statements::fullList()),
                       Fields::Idiom);
    // The banner's browser engine needs its settings before the application object exists.
    BannerLoader::prepareEngine();
    QApplication app(argc, argv);
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

    tTest = nullptr;
    FrmMain = nullptr;
}

int WenquellMain(int argc, char** argv)
{
    InstanceLock lock(QStringLiteral("Lexivox.exe"));
    if (lock.alreadyExists()) {
        WakeChannel::sendMessage(appTitle(), WM_APPRESTORE, 0, 0, kWakeTimeoutMs);
    } else {
        try {
            runFirstCopy(argc, argv);
        } catch (...) {
            // The lock is released below in every path.
        }
    }
    lock.release();
    return 0;
}
