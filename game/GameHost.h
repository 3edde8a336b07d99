#pragma once

#include "DbConnection.h"
#include "ListBox.h"

#include <QPointer>
#include <QWidget>
#include <functional>

// What a game window uses of the main window. The main window fills it in when it opens a
// game, so the game library needs nothing from the application library that links it.
struct GameHost
{
    // The window the game is centred on.
    QPointer<QWidget> mainWindow;
    // The store connection the game's own query runs on.
    QPointer<DbConnection> connection;
    // The full idiom list, whose rows the question click searches and selects.
    QPointer<ListBox> idiomList;
    // Switches the main window to its idiom-list page.
    std::function<void()> showIdiomListPage;
    // Shows the entry of the full list's selected row.
    std::function<void()> showSelectedIdiom;
};
