#pragma once

#include "TestSupport.h"

#include <memory>

class TFrmMain;

// One shown main window over the fixture store, its message boxes recorded: opened by a
// test's init(), closed by its cleanup().
class MainWindowFixture
{
public:
    MainWindowFixture();
    ~MainWindowFixture();

    // Makes and shows the window; false when it never became exposed.
    bool open();
    void close();
    // The window alone, for a test that makes it again under other conditions.
    void closeWindow();
    bool openWindow();

    TFrmMain* window() const { return m_window.get(); }
    DialogRecorder* dialogs() const { return m_dialogs.get(); }

private:
    std::unique_ptr<AppDir> m_dir;
    std::unique_ptr<DialogRecorder> m_dialogs;
    std::unique_ptr<TFrmMain> m_window;
};
