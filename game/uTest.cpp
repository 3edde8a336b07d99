#include "uTest.h"

#include "AnswerKey.h"
#include "DbQuery.h"
#include "DragListBox.h"
#include "ErrorGuard.h"
#include "Fonts.h"
#include "GameRules.h"
#include "Gbk.h"
#include "Glyphs.h"
#include "ListBox.h"
#include "Panel.h"
#include "ScreenPlacement.h"
#include "Statements.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <chrono>
#include <random>

TtTest* tTest = nullptr;

namespace {

// The game's pseudo-random generator for picks and the shuffle, reseeded from the clock
// before each of them.
std::mt19937& generator()
{
    static std::mt19937 gen;
    return gen;
}

void reseedFromClock()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    generator().seed(std::mt19937::result_type(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

int randomBelow(int n)
{
    return std::uniform_int_distribution<int>(0, n - 1)(generator());
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption,
                       const char* glyphName, const QRect& rect)
{
    auto* b = new QPushButton(Glyphs::icon(glyphName), caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setIconSize(QSize(16, 16));
    b->setAutoDefault(false);
    b->setGeometry(rect);
    return b;
}

QLabel* newLabel(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(rect);
    return l;
}

template <class List> List* newList(QWidget* parent, const char* name, const QRect& rect)
{
    auto* l = new List(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(rect);
    return l;
}

// Row of `list` under a point of its client area; -1 below the last row.
int rowAt(const ListBox* list, int x, int y)
{
    return list->rowAt(QPoint(x, y));
}

QByteArray rowText(const ListBox* list, int row)
{
    return Gbk::fromUnicode(list->itemText(row));
}

} // namespace

TtTest::TtTest(const GameHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    createControls();
    connectHandlers();
}

TtTest::~TtTest()
{
    if (tTest == this)
        tTest = nullptr;
}

void TtTest::createControls()
{
    setObjectName(QStringLiteral("tTest"));
    setWindowTitle(QStringLiteral("成语游戏"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(322, 266);
    setWindowIcon(Glyphs::programIcon());
    setFont(Fonts::tahoma(11));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Panel::buttonFace());
    setPalette(pal);

    LBCheng = newList<ListBox>(this, "LBCheng", QRect(8, 32, 161, 225));
    bSub = newButton(this, "bSub", QStringLiteral("出题"), "deal", QRect(14, 4, 75, 25));
    bCheck = newButton(this, "bCheck", QStringLiteral("验证"), "check", QRect(94, 4, 75, 25));
    Label1 = newLabel(this, "Label1", QStringLiteral("分数："), QRect(192, 16, 36, 13));
    Label2 = newLabel(this, "Label2", QString(), QRect(236, 16, 0, 13));
    Label3 = newLabel(this, "Label3", QStringLiteral("分"), QRect(264, 16, 12, 13));
    LBFalse = newList<DragListBox>(this, "LBFalse", QRect(245, 32, 68, 225));
    LBCheck = newList<DragListBox>(this, "LBCheck", QRect(175, 32, 63, 225));
    // Names for a screen reader: the lists have no caption of their own.
    LBCheng->setAccessibleName(QStringLiteral("题目"));
    LBCheck->setAccessibleName(QStringLiteral("答案"));
    LBFalse->setAccessibleName(QStringLiteral("备选字"));

    ADOQuery1 = new DbQuery(this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    ADOQuery1->setConnection(m_host.connection);

    setTabOrder(LBCheng, bSub);
    setTabOrder(bSub, bCheck);
    setTabOrder(bCheck, LBFalse);
    setTabOrder(LBFalse, LBCheck);
    LBCheng->setFocus();
}

void TtTest::connectHandlers()
{
    connectGuarded(bSub, &QPushButton::clicked, this, &TtTest::bSubClick, bSub);
    connectGuarded(bCheck, &QPushButton::clicked, this, &TtTest::bCheckClick, bCheck);
    connectGuarded(LBCheng, &ListBox::Click, this, &TtTest::LBChengClick, LBCheng);
    LBFalse->setOnDragOver([this](QObject* sender, QObject* source, int x, int y, bool& accept) {
        guarded([&] { LBFalseDragOver(sender, source, x, y, accept); });
    });
    LBFalse->setOnDragDrop([this](QObject* sender, QObject* source, int x, int y) {
        guarded([&] { LBFalseDragDrop(sender, source, x, y); });
    });
    LBCheck->setOnDragOver([this](QObject* sender, QObject* source, int x, int y, bool& accept) {
        guarded([&] { LBCheckDragOver(sender, source, x, y, accept); });
    });
    LBCheck->setOnDragDrop([this](QObject* sender, QObject* source, int x, int y) {
        guarded([&] { LBCheckDragDrop(sender, source, x, y); });
    });
}

void TtTest::centreOnMainWindow()
{
    QWidget* main = m_host.mainWindow;
    if (!main)
        return;
    const QRect mainFrame = main->frameGeometry();
    // Before it is first shown this window has no frame of its own yet; it gets the same
    // decoration as the main window.
    const QSize decoration = mainFrame.size() - main->size();
    const QSize outer = isVisible() ? frameGeometry().size() : size() + decoration;
    const QPoint centred = mainFrame.topLeft() + QPoint((mainFrame.width() - outer.width()) / 2,
                                                        (mainFrame.height() - outer.height()) / 2);
    // Centred on a main window near the edge of a small screen, it could stand partly off it.
    const QScreen* screen = main->screen();
    move(screen ? ScreenPlacement::fit(QRect(centred, outer), screen->availableGeometry())
                : centred);
}

void TtTest::setScore(const QByteArray& text)
{
    Label2->setText(Gbk::toUnicode(text));
    Label2->resize(Label2->sizeHint().width(), Label2->height());
}

void TtTest::bSubClick(QObject*)
{
    LBCheng->clear();
    LBFalse->clear();
    LBCheck->clear();
    bCheck->setEnabled(true);

    Statements::run(*ADOQuery1, Statements::gameQuestions());
    if (ADOQuery1->recordCount() == 0)
        return;

    reseedFromClock();
    ADOQuery1->first();
    // The statement promises at most ten rows; should it give more, the first ten are dealt.
    QList<QByteArray> picks;
    QStringList questions;
    while (!ADOQuery1->eof() && picks.size() < GameRules::kQuestions) {
        const QByteArray idiom = ADOQuery1->fieldAsGbk(Fields::Idiom);
        const QByteArray picked = GameRules::pick(idiom, randomBelow);
        picks.append(picked);
        questions.append(Gbk::toUnicode(GameRules::blankOut(idiom, picked)));
        LBCheck->addItem(QString());
        ADOQuery1->next();
    }
    AnswerKey::store(picks);
    LBCheng->addItems(questions);

    GameRules::Pool pool = GameRules::poolOf(picks);
    reseedFromClock();
    GameRules::shuffle(pool, randomBelow);
    for (const QByteArray& candidate : pool)
        LBFalse->addItem(Gbk::toUnicode(candidate));
}

void TtTest::bCheckClick(QObject*)
{
    int right = 0;
    if (LBCheng->count() == 0)
        return;
    bCheck->setEnabled(false);
    // With fewer idioms in the store than questions, only the rows dealt are checked.
    const int rows =
        std::min({GameRules::kQuestions, LBCheng->count(), LBCheck->count(), LBFalse->count()});
    for (int i = 0; i < rows; ++i) {
        const QByteArray completed = GameRules::complete(rowText(LBCheng, i), rowText(LBCheck, i));
        Statements::run(*ADOQuery1, Statements::gameAnswerCheck(completed));
        const bool found = ADOQuery1->recordCount() > 0;
        LBFalse->setItemText(i, Gbk::toUnicode(GameRules::verdict(found, AnswerKey::entry(i))));
        if (found)
            ++right;
    }
    setScore(GameRules::score(right));
}

void TtTest::LBChengClick(QObject*)
{
    if (m_host.showIdiomListPage)
        m_host.showIdiomListPage();
    const int r = LBCheng->itemIndex();
    ListBox* list = m_host.idiomList;
    if (r < 0 || !list)
        return;
    const QString idiom =
        Gbk::toUnicode(GameRules::complete(rowText(LBCheng, r), AnswerKey::entry(r)));
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) != idiom)
            continue;
        list->setItemIndex(i);
        if (m_host.showSelectedIdiom)
            m_host.showSelectedIdiom();
    }
}

void TtTest::dragOver(DragListBox* self, DragListBox* partner, QObject* source, int x, int y,
                      bool& accept) const
{
    if (source == partner) {
        accept = true;
    } else if (source == self) {
        const int row = rowAt(self, x, y);
        accept = row >= 0 && row != self->itemIndex();
    } else {
        accept = false;
    }
}

void TtTest::dragDrop(DragListBox* self, DragListBox* partner, QObject* source, int x, int y)
{
    // A drop that cannot be carried out changes nothing and says nothing.
    try {
        DragListBox* from = source == partner ? partner : source == self ? self : nullptr;
        if (!from)
            return;
        const int sourceRow = from->itemIndex();
        const int targetRow = rowAt(self, x, y);
        if (sourceRow < 0 || targetRow < 0)
            return;
        const QString moving = from->itemText(sourceRow);
        const QString displaced = self->itemText(targetRow);
        from->setItemText(sourceRow, displaced);
        self->setItemText(targetRow, moving);
        self->setItemIndex(targetRow);
    } catch (...) {
    }
}

void TtTest::LBFalseDragOver(QObject*, QObject* Source, int X, int Y, bool& Accept)
{
    dragOver(LBFalse, LBCheck, Source, X, Y, Accept);
}

void TtTest::LBFalseDragDrop(QObject*, QObject* Source, int X, int Y)
{
    dragDrop(LBFalse, LBCheck, Source, X, Y);
}

void TtTest::LBCheckDragOver(QObject*, QObject* Source, int X, int Y, bool& Accept)
{
    dragOver(LBCheck, LBFalse, Source, X, Y, Accept);
}

void TtTest::LBCheckDragDrop(QObject*, QObject* Source, int X, int Y)
{
    dragDrop(LBCheck, LBFalse, Source, X, Y);
}
