#include "MainWindowFixture.h"

#include "uFrmMain.h"

#include <QTest>

MainWindowFixture::MainWindowFixture() = default;

MainWindowFixture::~MainWindowFixture()
{
    close();
}

bool MainWindowFixture::open()
{
    m_dir = std::make_unique<AppDir>();
    m_dialogs = std::make_unique<DialogRecorder>();
    return openWindow();
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
