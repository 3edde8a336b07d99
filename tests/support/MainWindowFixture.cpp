#include "MainWindowFixture.h"

#include "uFrmMain.h"

#include <QTest>

MainWindowFixture::MainWindowFixture() = default;

MainWindowFixture::~MainWindowFixture()
{
    close();
}

TFrmMain& MainWindowFixture::make(const QString& database)
{
    m_dir = std::make_unique<AppDir>(database);
    m_dialogs = std::make_unique<DialogRecorder>();
    m_window = std::make_unique<TFrmMain>();
    return *m_window;
}

bool MainWindowFixture::open(const QString& database)
{
    make(database).show();
    return QTest::qWaitForWindowExposed(m_window.get());
}

void MainWindowFixture::close()
{
    closeWindow();
    m_dialogs.reset();
    m_dir.reset();
}

void MainWindowFixture::closeWindow()
{
    m_window.reset();
}

bool MainWindowFixture::openWindow()
{
    m_window = std::make_unique<TFrmMain>();
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get());
}
