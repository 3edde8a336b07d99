#pragma once

#include "TestSupport.h"

#include <memory>

class TFrmMain;

// One main window over a fixture store, its message boxes recorded: opened by a test (or its
// init()), closed when the fixture goes (or by cleanup()).
class MainWindowFixture
{
public:
    MainWindowFixture();
    ~MainWindowFixture();

    // Makes the window over a copy of `database` (see AppDir), without showing it.
    TFrmMain& make(const QString& database = QStringLiteral(WQ_FIXTURE_DB));
    // Makes and shows the window; false when it never became exposed.
    bool open(const QString& database = QStringLiteral(WQ_FIXTURE_DB));
    void close();
    // The window alone, for a test that makes it again under other conditions.
    void closeWindow();
    bool openWindow();

    TFrmMain* window() const { return m_window.get(); }
    DialogRecorder* dialogs() const { return m_dialogs.get(); }
    const AppDir* dir() const { return m_dir.get(); }

private:
    std::unique_ptr<AppDir> m_dir;
    std::unique_ptr<DialogRecorder> m_dialogs;
    std::unique_ptr<TFrmMain> m_window;
};
