// Game benchmark: how long a deal (bSubClick) and a verification (bCheckClick) take on the real
// idiom store, through the game window's own handlers.
//
//   build/bench/bench_game [runs]
//
// Each run deals, fills half of the answer slots with the right characters (the rest stay
// empty, so both kinds of lookup are made), and verifies. Uses $DISPLAY when set, else the
// offscreen platform.

#include "AnswerKey.h"
#include "AppPaths.h"
#include "BrowserEngine.h"
#include "DragListBox.h"
#include "Gbk.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "MessageDialogs.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

static void report(const char* what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf(
        "%-14s runs %3lld   min %6.2f ms   median %6.2f ms   mean %6.2f ms   max %6.2f ms\n", what,
        qlonglong(ms.size()), ms.first(), ms[ms.size() / 2], sum / ms.size(), ms.last());
    std::printf("table|game %s|%.2f|ms|\n", what, ms[ms.size() / 2]);
}

int main(int argc, char** argv)
{
    // The windows made here keep their learner's file in a folder of the run's own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareBrowserEngine();
    QApplication app(argc, argv);
    MessageDialogs::installErrorReporter();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    AppPaths::setExecutableFileForTests(QStringLiteral(WQ_WENQUELL_EXE));

    TFrmMain main;
    FrmMain = &main;
    const int storeRows = main.ListBox1->count();
    if (storeRows == 0) {
        std::fprintf(stderr, "The idiom store is empty or missing: build it first (./run.sh).\n");
        return 1;
    }
    GameHost host;
    host.mainWindow = &main;
    host.connection = main.ADOConnection1;
    host.idiomList = main.ListBox1;
    host.showIdiomListPage = [&main] { main.btnListClick(main.btnList); };
    host.showSelectedIdiom = [&main] { main.ListBox1Click(main.ListBox1); };
    TtTest game(host);
    game.show();
    QApplication::processEvents();

    QList<double> deal, verify;
    QElapsedTimer t;
    int right = 0;
    for (int run = 0; run < runs; ++run) {
        t.start();
        game.bSubClick(game.bSub);
        deal.append(t.nsecsElapsed() / 1e6);
        for (int i = 0; i < game.LBCheck->count(); i += 2)
            game.LBCheck->setItemText(i, Gbk::toUnicode(AnswerKey::entry(i)));
        t.start();
        game.bCheckClick(game.bCheck);
        verify.append(t.nsecsElapsed() / 1e6);
        right += game.Label2->text().toInt() / 10;
        QApplication::processEvents();
    }
    std::printf("Idiom store: %d idioms; %d runs; %d of %d rows right (half were answered)\n",
                storeRows, runs, right, runs * 10);
    report("deal", deal);
    report("verification", verify);
    FrmMain = nullptr;
    return 0;
}
