#include "uTest.h"

TtTest* tTest = nullptr;

TtTest::TtTest(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("成语游戏"));
}
