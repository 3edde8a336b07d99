#pragma once

// main() for tests that create the main window: its banner's browser engine needs its
// settings before the application object exists, as in the program's own start-up. A message
// box that a test does not expect is printed instead of waiting for someone to press OK.
// The windows are made without the banner (no browser engine, no OpenGL), unless the
// environment names a banner module; a test of the banner itself sets one (BannerModuleOn).
// The learner's file goes to a data folder of the test's own, never the user's.

#include "BrowserEngine.h"
#include "MessageDialogs.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#define WQ_WINDOW_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (!qEnvironmentVariableIsSet("WENQUELL_BANNER_MODULE"))                                  \
            qputenv("WENQUELL_BANNER_MODULE", QByteArray());                                       \
        prepareBrowserEngine();                                                                    \
        QTemporaryDir dataHome;                                                                    \
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));                              \
        QApplication app(argc, argv);                                                              \
        MessageDialogs::installErrorReporter();                                                    \
        MessageDialogs::setRecorder([](MessageDialogs::Kind, const QString& c, const QString& t) { \
            qWarning("unexpected message box \"%s\": %s", qPrintable(c), qPrintable(t));           \
        });                                                                                        \
        TestClass test;                                                                            \
        const int failed = QTest::qExec(&test, argc, argv);                                        \
        keepGraphicsDriverMapped();                                                                \
        return failed;                                                                             \
    }
