#pragma once

#include <QDialog>

// The idiom game window.
class TtTest : public QDialog
{
    Q_OBJECT
public:
    explicit TtTest(QWidget* parent = nullptr);
};

// The game window most recently created: the hidden one made at start-up, later the one the
// main window opens for each game.
extern TtTest* tTest;
