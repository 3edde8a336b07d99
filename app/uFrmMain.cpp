#include "uFrmMain.h"

#include "AlignLayout.h"
#include "AppPaths.h"
#include "AppTitle.h"
#include "DbConnection.h"
#include "DbQuery.h"
#include "EntryText.h"
#include "ErrorGuard.h"
#include "Exception.h"
#include "Fonts.h"
#include "Gbk.h"
#include "ListBox.h"
#include "MessageDialogs.h"
#include "Panel.h"
#include "RichEdit.h"
#include "Statements.h"
#include "WakeServer.h"
#include "uTest.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QToolButton>
#include <memory>

TFrmMain* FrmMain = nullptr;

using AlignLayout::Align;

namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kGreyPen(0x80, 0x80, 0x80);

Panel* newPanel(QWidget* parent, const char* name, Panel::Bevel bevel, const QColor& color)
{
    auto* p = new Panel(parent);
    p->setObjectName(QLatin1String(name));
    p->setBevelOuter(bevel);
    p->setColor(color);
    return p;
}

QFont boldFont(const QFont& f)
{
    QFont b = f;
    b.setBold(true);
    return b;
}

QIcon glyph(const char* name)
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)), QSize(16, 16),
                 QIcon::Normal);
    icon.addFile(QStringLiteral(":/glyphs/%1_disabled.png").arg(QLatin1String(name)),
                 QSize(16, 16), QIcon::Disabled);
    return icon;
}

QFrame* newLine(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, kGreyPen);
    f->setPalette(pal);
    return f;
}

// Places aligned children inside `client` (parent coordinates).
void place(const QRect& client, const QList<std::pair<QWidget*, AlignLayout::Item>>& children)
{
    QList<AlignLayout::Item> items;
    for (const auto& c : children)
        items.append(c.second);
    const QList<QRect> rects = AlignLayout::place(client, items);
    for (qsizetype i = 0; i < children.size(); ++i)
        children[i].first->setGeometry(rects[i]);
}

AlignLayout::Item aligned(Align align, int width = 0, int height = 0)
{
    return {align, QRect(0, 0, width, height)};
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QWidget(parent), m_wakeServer(new WakeServer(this))
{
    createControls();
    connectHandlers();
    guarded([this] { FormCreate(this); });
    m_wakeServer->listen(appTitle());
}

TFrmMain::~TFrmMain()
{
    if (FrmMain == this)
        FrmMain = nullptr;
}

void TFrmMain::createControls()
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(appTitle());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(772, 565);
    move(360, 225);
    setFont(Fonts::songTi(12));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWhite);
    setPalette(pal);

    ADOConnection1 = new DbConnection(this);
    ADOConnection1->setObjectName(QStringLiteral("ADOConnection1"));
    ADOQuery1 = new DbQuery(this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    ADOQuery1->setConnection(ADOConnection1);

    pnlAD = newPanel(this, "pnlAD", Panel::Bevel::None, Panel::buttonFace());
    pnlClient = newPanel(this, "pnlClient", Panel::Bevel::None, kWhite);
    place(rect(), {{pnlAD, aligned(Align::Top, 772, 82)}, {pnlClient, aligned(Align::Client)}});

    Shape2 = newLine(pnlClient, "Shape2");
    pnlLeft = newPanel(pnlClient, "pnlLeft", Panel::Bevel::None, kWhite);
    pnlRight = newPanel(pnlClient, "pnlRight", Panel::Bevel::None, kWhite);
    pnlRight->setBorderWidth(5);
    place(pnlClient->clientRect(), {{Shape2, aligned(Align::Top, 0, 1)},
                                    {pnlLeft, aligned(Align::Left, 193)},
                                    {pnlRight, aligned(Align::Client)}});

    pnlLLeft = newPanel(pnlLeft, "pnlLLeft", Panel::Bevel::None, kWhite);
    pnlLClient = newPanel(pnlLeft, "pnlLClient", Panel::Bevel::None, kWhite);
    place(pnlLeft->clientRect(), {{pnlLLeft, aligned(Align::Left, 37)},
                                  {pnlLClient, aligned(Align::Client)}});

    Shape1 = newLine(pnlLClient, "Shape1");
    pgMain = new QStackedWidget(pnlLClient);
    pgMain->setObjectName(QStringLiteral("pgMain"));
    place(pnlLClient->clientRect(), {{Shape1, aligned(Align::Right, 1)},
                                     {pgMain, aligned(Align::Client)}});

    // With its tabs hidden the page control keeps a margin around its pages.
    const QRect sheet = QRect(QPoint(0, 0), pgMain->size()).adjusted(4, 6, -4, -4);
    tsList = new QWidget;
    tsList->setObjectName(QStringLiteral("tsList"));
    tsSearch = new QWidget;
    tsSearch->setObjectName(QStringLiteral("tsSearch"));
    for (QWidget* page : {tsList, tsSearch}) {
        auto* holder = new QWidget;
        page->setParent(holder);
        page->setGeometry(sheet);
        pgMain->addWidget(holder);
    }
    pgMain->setCurrentIndex(0);

    Panel2 = newPanel(tsList, "Panel2", Panel::Bevel::Raised, Panel::buttonFace());
    Panel2->setCaption(QStringLiteral("成语列表"));
    Panel2->setFont(boldFont(font()));
    ListBox1 = new ListBox(tsList);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    place(QRect(QPoint(0, 0), sheet.size()),
          {{Panel2, aligned(Align::Top, 0, 21)}, {ListBox1, aligned(Align::Client)}});
    createSearchPage();

    // Plain stand-ins for the navigation strip's picture buttons; the page to show is the
    // button's "Tag".
    btnList = new QToolButton(pnlLLeft);
    btnList->setObjectName(QStringLiteral("btnList"));
    btnList->setText(QStringLiteral("列表"));
    btnList->setToolTip(QStringLiteral("成语列表"));
    btnList->setProperty("Tag", 0);
    btnList->setGeometry(2, 31, 33, 34);
    btnSearch = new QToolButton(pnlLLeft);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnSearch->setText(QStringLiteral("搜索"));
    btnSearch->setToolTip(QStringLiteral("成语搜索"));
    btnSearch->setProperty("Tag", 1);
    btnSearch->setGeometry(2, 77, 33, 34);
    ImgStest = new QToolButton(pnlLLeft);
    ImgStest->setObjectName(QStringLiteral("ImgStest"));
    ImgStest->setText(QStringLiteral("游戏"));
    ImgStest->setToolTip(QStringLiteral("成语游戏"));
    ImgStest->setGeometry(2, 123, 33, 34);

    pnlRTop = newPanel(pnlRight, "pnlRTop", Panel::Bevel::None, Panel::buttonFace());
    RichText = new RichEdit(pnlRight);
    RichText->setObjectName(QStringLiteral("RichText"));
    RichText->setFont(Fonts::tahoma(11));
    place(pnlRight->clientRect(),
          {{pnlRTop, aligned(Align::Top, 0, 36)}, {RichText, aligned(Align::Client)}});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("全选"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(QStringLiteral("复制"));
    N2->setObjectName(QStringLiteral("N2"));
    RichText->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TFrmMain::createSearchPage()
{
    Panel4 = newPanel(tsSearch, "Panel4", Panel::Bevel::Raised, Panel::buttonFace());
    Panel4->setCaption(QStringLiteral("成语搜索"));
    Panel4->setFont(boldFont(font()));
    Panel3 = newPanel(tsSearch, "Panel3", Panel::Bevel::Raised, Panel::buttonFace());
    ListBox2 = new ListBox(tsSearch);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    place(QRect(QPoint(0, 0), tsSearch->size()), {{Panel4, aligned(Align::Top, 0, 21)},
                                                   {Panel3, aligned(Align::Top, 0, 53)},
                                                   {ListBox2, aligned(Align::Client)}});

    RadPinYin = new QRadioButton(QStringLiteral("拼音搜索"), Panel3);
    RadPinYin->setObjectName(QStringLiteral("RadPinYin"));
    RadPinYin->setGeometry(3, 1, 75, 17);
    RadPinYin->setChecked(true);
    RadHanZi = new QRadioButton(QStringLiteral("汉字搜索"), Panel3);
    RadHanZi->setObjectName(QStringLiteral("RadHanZi"));
    RadHanZi->setGeometry(75, 2, 75, 17);
    edSou = new QLineEdit(Panel3);
    edSou->setObjectName(QStringLiteral("edSou"));
    edSou->setGeometry(1, 25, 87, 20);
    BitBtn2 = new QPushButton(glyph("search"), QStringLiteral("搜索"), Panel3);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(91, 22, 56, 25);
    BitBtn2->setIconSize(QSize(16, 16));
}

void TFrmMain::connectHandlers()
{
    connect(ListBox1, &ListBox::Click, this, [this] { guarded([this] { ListBox1Click(ListBox1); }); });
    connect(ListBox2, &ListBox::Click, this, [this] { guarded([this] { ListBox2Click(ListBox2); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn2Click(BitBtn2); }); });
    edSou->installEventFilter(this);
    connect(RadPinYin, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guarded([this] { RadPinYinClick(RadPinYin); });
    });
    connect(RadHanZi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guarded([this] { RadHanZiClick(RadHanZi); });
    });
    connect(btnList, &QToolButton::clicked, this, [this] { guarded([this] { btnListClick(btnList); }); });
    connect(btnSearch, &QToolButton::clicked, this,
            [this] { guarded([this] { btnListClick(btnSearch); }); });
    connect(ImgStest, &QToolButton::clicked, this, [this] { guarded([this] { ImgStestClick(ImgStest); }); });
    connect(RichText, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { guarded([&] { RichTextContextPopup(pos); }); });
    connect(N1, &QAction::triggered, this, [this] { guarded([this] { N1Click(N1); }); });
    connect(N2, &QAction::triggered, this, [this] { guarded([this] { N2Click(N2); }); });
    connect(m_wakeServer, &WakeServer::messageReceived, this,
            [this](unsigned message, qint64, qint64) {
                if (message == WM_APPRESTORE)
                    guarded([this] { WMAppRestore(); });
            });
}

void TFrmMain::FormCreate(QObject*)
{
    ConnectDB();
    // With the store closed (its failure already shown) the list stays empty; every later
    // action that needs the store reports that it is not open.
    if (ADOConnection1->connected()) {
        Statements::run(*ADOQuery1, Statements::fullList());
        const int n = ADOQuery1->recordCount();
        QStringList idioms;
        idioms.reserve(n);
        for (int i = 0; i < n; ++i) {
            idioms.append(ADOQuery1->fieldAsString(QStringLiteral("ChengYu")));
            ADOQuery1->next();
        }
        ListBox1->addItems(idioms);
    }
    InsetTextRect(RichText);
}

void TFrmMain::ConnectDB()
{
    try {
        const QString exe = AppPaths::executableFile();
        const QString path = exe.left(exe.lastIndexOf(QLatin1Char('/')) + 1) +
                             QStringLiteral("data/EduData.db");
        const QString connectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                         DbConnection::quoteValue(path) +
                                         QStringLiteral(";Persist Security Info=False");
        ADOConnection1->close();
        ADOConnection1->setConnectionString(connectionString);
        ADOConnection1->setLoginPrompt(false);
        ADOConnection1->open();
    } catch (const std::exception& e) {
        MessageDialogs::show(this, MessageDialogs::Kind::Plain, appTitle(),
                             QStringLiteral("出错！") + exceptionText(e));
    }
}

void TFrmMain::SlectChengYu(const QByteArray& idiom)
{
    Statements::run(*ADOQuery1, Statements::entryLookup(idiom));
    const QByteArray entry = EntryText::build(EntryText::read(*ADOQuery1));
    RichText->setText(Gbk::toUnicode(entry));
    RichText->selectAll();
    SetLineSpacing(RichText, 2);
    RichText->setSelLength(0);
    RichText->ensureCursorVisible();
}

void TFrmMain::btnListClick(QObject* Sender)
{
    auto* button = qobject_cast<QToolButton*>(Sender);
    if (!button || (button != btnList && button != btnSearch))
        return;
    pgMain->setCurrentIndex(button->property("Tag").toInt());
}

void TFrmMain::ImgStestClick(QObject*)
{
    // Each game gets a window of its own, owned by no one and gone when it closes. Nothing
    // that goes wrong in opening or showing it is reported; the main window simply goes on.
    try {
        GameHost host;
        host.mainWindow = this;
        host.connection = ADOConnection1;
        host.idiomList = ListBox1;
        host.showIdiomListPage = [this] { btnListClick(btnList); };
        host.showSelectedIdiom = [this] { ListBox1Click(ListBox1); };
        const std::unique_ptr<TtTest> game(new TtTest(host));
        tTest = game.get();
        game->centreOnMainWindow();
        game->exec();
    } catch (...) {
    }
}

void TFrmMain::showEntryOf(ListBox* list)
{
    const int row = list->itemIndex();
    if (row < 0)
        return;
    SlectChengYu(Gbk::fromUnicode(list->itemText(row)));
}

void TFrmMain::ListBox1Click(QObject*)
{
    showEntryOf(ListBox1);
}

void TFrmMain::ListBox2Click(QObject*)
{
    showEntryOf(ListBox2);
}

void TFrmMain::BitBtn2Click(QObject*)
{
    const QByteArray text = Gbk::fromUnicode(edSou->text());
    if (text.isEmpty()) {
        MessageDialogs::information(this, QStringLiteral("提示"), QStringLiteral("搜索内容不能为空！"));
        return;
    }
    const QByteArray statement = RadPinYin->isChecked() ? Statements::pinyinSearch(text)
                                                        : Statements::characterSearch(text);
    Statements::run(*ADOQuery1, statement);
    if (ADOQuery1->recordCount() == 0) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("Wenquell中未找到相关的词语信息！"));
        return;
    }
    {
        ListBox2->setUpdatesEnabled(false);
        const auto resume = qScopeGuard([this] { ListBox2->setUpdatesEnabled(true); });
        ListBox2->clear();
        ADOQuery1->first();
        const int n = ADOQuery1->recordCount();
        QStringList found;
        found.reserve(n);
        for (int i = 0; i < n; ++i) {
            found.append(ADOQuery1->fieldAsString(QStringLiteral("ChengYu")));
            ADOQuery1->next();
        }
        ListBox2->addItems(found);
    }
    ListBox2->setItemIndex(0);
}

void TFrmMain::edSouKeyPress(QObject*, QChar& Key)
{
    if (Key == QLatin1Char('\r'))
        BitBtn2Click(BitBtn2);
}

void TFrmMain::RadPinYinClick(QObject*)
{
    edSou->clear();
    ListBox2->clear();
}

void TFrmMain::RadHanZiClick(QObject*)
{
    edSou->clear();
    ListBox2->clear();
}

void TFrmMain::RichTextContextPopup(const QPoint& pos)
{
    N1->setEnabled(true);
    N2->setEnabled(RichText->selLength() > 0);
    PopupMenu1->popup(RichText->mapToGlobal(pos));
}

void TFrmMain::N1Click(QObject*)
{
    RichText->selectAll();
}

void TFrmMain::N2Click(QObject*)
{
    RichText->copy();
}

void TFrmMain::WMAppRestore()
{
    if (!isMinimized())
        return;
    QWidget* focus = focusWidget();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    activateWindow();
    if (focus)
        focus->setFocus(Qt::ActiveWindowFocusReason);
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edSou && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1) {
            QChar key = typed[0];
            guarded([&] { edSouKeyPress(edSou, key); });
        }
    }
    return QWidget::eventFilter(watched, event); // the key still reaches the edit box
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
