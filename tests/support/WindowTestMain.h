#pragma once

// main() for tests that create the main window: its banner's browser engine needs its
// settings before the application object exists, as in the program's own start-up.

#include "BrowserEngine.h"

#include <QApplication>
#include <QTest>

#define WQ_WINDOW_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        prepareBrowserEngine();                                                                    \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
