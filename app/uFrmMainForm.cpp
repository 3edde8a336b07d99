// The main window's form: its controls, their places, pictures and texts, as the window was
// laid out. The handlers are in uFrmMain.cpp.

#include "uFrmMain.h"

#include "AlignLayout.h"
#include "AppPaths.h"
#include "AppTitle.h"
#include "BannerLoader.h"
#include "DbConnection.h"
#include "DbQuery.h"
#include "ErrorGuard.h"
#include "Exception.h"
#include "Fonts.h"
#include "Gauges.h"
#include "Gbk.h"
#include "Glyphs.h"
#include "ImgButton.h"
#include "LinkLabel.h"
#include "ListBox.h"
#include "MessageDialogs.h"
#include "PaintPanel.h"
#include "Panel.h"
#include "RichEdit.h"
#include "SpeechLib_TLB.h"
#include "StudyPage.h"
#include "TPicture.h"
#include "WakeServer.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <memory>

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

void TFrmMain::createControls()
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(appTitle());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(772, 565);
    move(360, 225);
    setWindowIcon(Glyphs::programIcon());
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
    SpVoice1 = new TSpVoice(this);
    SpVoice1->setObjectName(QStringLiteral("SpVoice1"));

    pnlAD = newPanel(this, "pnlAD", Panel::Bevel::None, Panel::buttonFace());
    pnlClient = newPanel(this, "pnlClient", Panel::Bevel::None, kWhite);
    place(rect(), {{pnlAD, aligned(Align::Top, 772, 82)}, {pnlClient, aligned(Align::Client)}});
    // The banner's browser is made after the window's first paint (showBanner).

    Shape2 = newLine(pnlClient, "Shape2");
    pnlLeft = newPanel(pnlClient, "pnlLeft", Panel::Bevel::None, kWhite);
    pnlRight = newPanel(pnlClient, "pnlRight", Panel::Bevel::None, kWhite);
    pnlRight->setBorderWidth(5);
    place(pnlClient->clientRect(), {{Shape2, aligned(Align::Top, 0, 1)},
                                    {pnlLeft, aligned(Align::Left, 193)},
                                    {pnlRight, aligned(Align::Client)}});

    pnlLLeft = new TPaintPanel(pnlLeft);
    pnlLLeft->setObjectName(QStringLiteral("pnlLLeft"));
    pnlLClient = newPanel(pnlLeft, "pnlLClient", Panel::Bevel::None, kWhite);
    place(pnlLeft->clientRect(),
          {{pnlLLeft, aligned(Align::Left, 37)}, {pnlLClient, aligned(Align::Client)}});

    // The speech progress gauge lies under the left-hand panels, out of sight.
    Gauge1 = new TGauge(pnlLeft);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setLoading(true);
    Gauge1->setGeometry(-402, -9, 595, 13);
    Gauge1->setBackColor(QColor(0xC0, 0xDC, 0xC0)); // money green
    Gauge1->setForeColor(QColor(0x00, 0x00, 0xFF));
    Gauge1->setProgress(0);
    Gauge1->setEnabled(false);
    Gauge1->setVisible(false);
    Gauge1->setLoading(false);
    Gauge1->lower();

    Shape1 = newLine(pnlLClient, "Shape1");
    pgMain = new QStackedWidget(pnlLClient);
    pgMain->setObjectName(QStringLiteral("pgMain"));
    place(pnlLClient->clientRect(),
          {{Shape1, aligned(Align::Right, 1)}, {pgMain, aligned(Align::Client)}});

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
    ListBox1->setAccessibleName(QStringLiteral("成语列表"));
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    place(QRect(QPoint(0, 0), sheet.size()),
          {{Panel2, aligned(Align::Top, 0, 21)}, {ListBox1, aligned(Align::Client)}});
    createSearchPage();
    createStudyPage(sheet);

    createNavigationStrip();

    pnlRTop = newPanel(pnlRight, "pnlRTop", Panel::Bevel::None, Panel::buttonFace());
    RichText = new RichEdit(pnlRight);
    RichText->setAccessibleName(QStringLiteral("成语解释"));
    RichText->setObjectName(QStringLiteral("RichText"));
    RichText->setFont(Fonts::tahoma(11));
    place(pnlRight->clientRect(),
          {{pnlRTop, aligned(Align::Top, 0, 36)}, {RichText, aligned(Align::Client)}});

    createSpeechBar();

    Label4 = new LinkLabel(QStringLiteral("访问官方网站"), pnlRTop);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(493, 10, 72, 12);
    Label4->setFont(Fonts::songTi(12));
    Label4->setCursor(Qt::PointingHandCursor);
    QPalette linkPalette = Label4->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    Label4->setPalette(linkPalette);
    Label4->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->start();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("全选"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(QStringLiteral("复制"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = PopupMenu1->addAction(QStringLiteral("加入生词本"));
    N3->setObjectName(QStringLiteral("N3"));
    N3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    RichText->setContextMenuPolicy(Qt::CustomContextMenu);
}

namespace {

// A picture of the window's layout: graphic class name and data, as ":/layout/<name>.pic"
// holds it. Without the graphic class (no PNG support) the picture stays empty.
void loadLayoutPicture(const char* name, const std::function<void(const TPicture*)>& setter)
{
    QFile f(QStringLiteral(":/layout/%1.pic").arg(QLatin1String(name)));
    if (!f.open(QIODevice::ReadOnly))
        return;
    TPicture picture;
    picture.setLayoutData(f.readAll());
    setter(&picture);
}

void loadButtonPictures(TImgControl* button, const char* base, bool withChecked)
{
    const auto path = [base](const char* state) { return QByteArray(base) + '_' + state; };
    loadLayoutPicture(path("normal"), [button](const TPicture* p) { button->setImgNormal(p); });
    loadLayoutPicture(path("over"), [button](const TPicture* p) { button->setImgEnter(p); });
    loadLayoutPicture(path("down"), [button](const TPicture* p) { button->setImgDown(p); });
    loadLayoutPicture(path("disabled"), [button](const TPicture* p) { button->setImgDisable(p); });
    if (auto* check = qobject_cast<TImgCheckButton*>(button); check && withChecked)
        loadLayoutPicture(path("check"), [check](const TPicture* p) { check->setImgCheck(p); });
}

} // namespace

void TFrmMain::createBanner()
{
    m_bannerContextMenu = [this](QObject* sender, qint32& result) {
        guarded([&] { wbADShowContextMenu(sender, result); });
    };
    const BannerLoader::Banner banner = BannerLoader::create(pnlAD, &m_bannerContextMenu);
    wbAD = banner.control;
    banner.widget->setObjectName(QStringLiteral("wbAD"));
    place(pnlAD->clientRect(), {{banner.widget, aligned(Align::Client)}});
    // Made after the window is on screen, a child is not shown with it: it is shown here.
    banner.widget->show();
    m_bannerWidget = banner.widget;
}

void TFrmMain::createNavigationStrip()
{
    pnlLLeft->setColor(kWhite);
    pnlLLeft->setAutoWidth(false);
    pnlLLeft->setAutoHeight(false);
    pnlLLeft->setPicVertStretch(vstBottom);
    loadLayoutPicture("strip", [this](const TPicture* p) { pnlLLeft->setPicture(p); });

    btnList = new TImgCheckButton(pnlLLeft);
    btnList->setObjectName(QStringLiteral("btnList"));
    btnList->setGeometry(-2, 31, 39, 34);
    btnList->setHint(QStringLiteral("成语列表"));
    btnList->setTag(0);
    btnList->setCursor(Qt::PointingHandCursor);
    btnList->setOnEnterOffset(0);
    btnList->setOnDownOffset(0);
    loadButtonPictures(btnList, "list", true);
    btnList->setChecked(true);

    btnSearch = new TImgCheckButton(pnlLLeft);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnSearch->setGeometry(2, 77, 36, 40);
    btnSearch->setHint(QStringLiteral("成语搜索"));
    btnSearch->setTag(1);
    btnSearch->setCursor(Qt::PointingHandCursor);
    btnSearch->setOnEnterOffset(0);
    btnSearch->setOnDownOffset(0);
    loadButtonPictures(btnSearch, "search", true);

    ImgStest = new TImgButton(pnlLLeft);
    ImgStest->setObjectName(QStringLiteral("ImgStest"));
    ImgStest->setGeometry(2, 123, 36, 40);
    ImgStest->setHint(QStringLiteral("成语游戏"));
    ImgStest->setCursor(Qt::PointingHandCursor);
    loadButtonPictures(ImgStest, "game", false);

    // The learner's page, below the three the window has always had, in the same look.
    btnStudy = new TImgCheckButton(pnlLLeft);
    btnStudy->setObjectName(QStringLiteral("btnStudy"));
    btnStudy->setGeometry(-2, 169, 39, 34);
    btnStudy->setHint(QStringLiteral("成语学习"));
    btnStudy->setAccessibleName(QStringLiteral("成语学习"));
    btnStudy->setTag(2);
    btnStudy->setCursor(Qt::PointingHandCursor);
    btnStudy->setOnEnterOffset(0);
    btnStudy->setOnDownOffset(0);
    loadButtonPictures(btnStudy, "study", true);
}

void TFrmMain::createSearchPage()
{
    Panel4 = newPanel(tsSearch, "Panel4", Panel::Bevel::Raised, Panel::buttonFace());
    Panel4->setCaption(QStringLiteral("成语搜索"));
    Panel4->setFont(boldFont(font()));
    Panel3 = newPanel(tsSearch, "Panel3", Panel::Bevel::Raised, Panel::buttonFace());
    ListBox2 = new ListBox(tsSearch);
    ListBox2->setAccessibleName(QStringLiteral("搜索结果"));
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
    edSou->setAccessibleName(QStringLiteral("搜索内容"));
    edSou->setGeometry(1, 25, 87, 20);
    BitBtn2 = new QPushButton(Glyphs::icon("search"), QStringLiteral("搜索"), Panel3);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(91, 22, 56, 25);
    BitBtn2->setIconSize(QSize(16, 16));
    // The meaning search on the learner's request: in the menus of the search box and of the
    // search button, so that no control of the page moves.
    acMeaning = new QAction(QStringLiteral("按释义搜索"), this);
    acMeaning->setObjectName(QStringLiteral("acMeaning"));
    BitBtn2->addAction(acMeaning);
    BitBtn2->setContextMenuPolicy(Qt::ActionsContextMenu);
}

namespace {

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, QPoint at)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(at);
    l->adjustSize();
    return l;
}

QToolButton* newGlyphButton(QWidget* parent, const char* name, const char* glyphName,
                            const QString& hint, int left)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(Glyphs::icon(glyphName));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(hint);
    b->setAccessibleName(hint); // a glyph alone says nothing to a screen reader
    b->setGeometry(left, 5, 29, 22);
    return b;
}

QSlider* newTrackBar(QWidget* parent, const char* name, int left, int min, int max, int position)
{
    auto* t = new QSlider(Qt::Horizontal, parent);
    t->setObjectName(QLatin1String(name));
    t->setGeometry(left, 5, 86, 22);
    t->setRange(min, max);
    t->setSingleStep(2);
    t->setPageStep(2);
    t->setTickInterval(10);
    t->setTickPosition(QSlider::NoTicks);
    t->setValue(position);
    return t;
}

} // namespace

void TFrmMain::createSpeechBar()
{
    Label3 = newLabel(pnlRTop, "Label3", QStringLiteral("语言"), QPoint(3, 10));
    YName = new QComboBox(pnlRTop);
    YName->setObjectName(QStringLiteral("YName"));
    YName->setEditable(true);
    YName->setInsertPolicy(QComboBox::NoInsert);
    YName->addItems({QStringLiteral("纯中文"), QStringLiteral("中英混合")});
    YName->setCurrentIndex(0);
    YName->setGeometry(29, 6, 71, 20);
    bPlay = newGlyphButton(pnlRTop, "bPlay", "play", QStringLiteral("播放"), 106);
    bPuse = newGlyphButton(pnlRTop, "bPuse", "pause", QStringLiteral("暂停"), 141);
    brPlay = newGlyphButton(pnlRTop, "brPlay", "resume", QStringLiteral("继续"), 176);
    bStop = newGlyphButton(pnlRTop, "bStop", "stop", QStringLiteral("停止"), 211);
    Label1 = newLabel(pnlRTop, "Label1", QStringLiteral("音量"), QPoint(246, 10));
    // The positions of the window's layout; start-up moves them to 100 and 0.
    TraSound = newTrackBar(pnlRTop, "TraSound", 271, 0, 100, 10);
    TraSound->setAccessibleName(Label1->text());
    Label2 = newLabel(pnlRTop, "Label2", QStringLiteral("语速"), QPoint(363, 10));
    TraSpeed = newTrackBar(pnlRTop, "TraSpeed", 388, -5, 5, 5);
    TraSpeed->setAccessibleName(Label2->text());
    // On the entry view, at the right of its first line (the idiom alone), clear of the
    // scroll bar: the speech bar has no free place.
    bBook = newGlyphButton(RichText, "bBook", "book_out", QStringLiteral("加入生词本"), 0);
    bBook->setGeometry(RichText->width() - 29 - 22, 4, 29, 22);
    bBook->setAutoRaise(true);
    bBook->setEnabled(false);
}

void TFrmMain::createStudyPage(const QRect& sheet)
{
    auto* holder = new QWidget;
    tsStudy = new StudyPage(holder);
    tsStudy->setGeometry(sheet);
    pgMain->addWidget(holder);
    tsStudy->refresh(nullptr);
}

// The event bindings: which handler each control's events go to.
void TFrmMain::connectHandlers()
{
    connectGuarded(ListBox1, &ListBox::Click, this, &TFrmMain::ListBox1Click, ListBox1);
    connectGuarded(ListBox2, &ListBox::Click, this, &TFrmMain::ListBox2Click, ListBox2);
    connectGuarded(BitBtn2, &QPushButton::clicked, this, &TFrmMain::BitBtn2Click, BitBtn2);
    edSou->installEventFilter(this);
    connectGuarded(acMeaning, &QAction::triggered, this, &TFrmMain::acMeaningClick, acMeaning);
    // The finder of idioms inside a text is built while the learner types, not at start-up.
    connect(edSou, &QLineEdit::textEdited, this,
            [this] { guarded([this] { startIdiomFinder(); }); });
    connect(RadPinYin, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guarded([this] { RadPinYinClick(RadPinYin); });
    });
    connect(RadHanZi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            guarded([this] { RadHanZiClick(RadHanZi); });
    });
    connectGuarded(btnList, &TImgControl::Click, this, &TFrmMain::btnListClick, btnList);
    connectGuarded(btnSearch, &TImgControl::Click, this, &TFrmMain::btnListClick, btnSearch);
    connectGuarded(ImgStest, &TImgControl::Click, this, &TFrmMain::ImgStestClick, ImgStest);
    connectGuarded(btnStudy, &TImgControl::Click, this, &TFrmMain::btnListClick, btnStudy);
    connectGuarded(bBook, &QToolButton::clicked, this, &TFrmMain::bBookClick, bBook);
    connectGuarded(N3, &QAction::triggered, this, &TFrmMain::bBookClick, N3);
    addAction(N3); // its shortcut works anywhere in the window, not only in the menu
    connect(tsStudy, &StudyPage::idiomChosen, this, [this](const QString& idiom, const QString&) {
        guarded([&] { SlectChengYu(Gbk::fromUnicode(idiom)); });
    });
    connect(tsStudy, &StudyPage::exportAsked, this, [this] { guarded([this] { exportBook(); }); });
    connect(tsStudy, &StudyPage::importAsked, this, [this] { guarded([this] { importBook(); }); });
    connect(tsStudy, &StudyPage::reviewAsked, this, [this] { guarded([this] { reviewBook(); }); });

    connect(RichText, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { guarded([&] { RichTextContextPopup(pos); }); });
    connectGuarded(N1, &QAction::triggered, this, &TFrmMain::N1Click, N1);
    connectGuarded(N2, &QAction::triggered, this, &TFrmMain::N2Click, N2);
    connectGuarded(bPlay, &QToolButton::clicked, this, &TFrmMain::PlayClick, bPlay);
    connectGuarded(bPuse, &QToolButton::clicked, this, &TFrmMain::StopClick, bPuse);
    connectGuarded(brPlay, &QToolButton::clicked, this, &TFrmMain::ContClick, brPlay);
    connectGuarded(bStop, &QToolButton::clicked, this, &TFrmMain::CloseClick, bStop);
    connectTrackBar(TraSound, &TFrmMain::TraSoundChange);
    connectTrackBar(TraSpeed, &TFrmMain::TraSpeedChange);
    connectGuarded(Timer1, &QTimer::timeout, this, &TFrmMain::Timer1Timer, Timer1);
    connect(m_wakeServer, &WakeServer::messageReceived, this,
            [this](unsigned message, qint64, qint64) {
                if (message == WM_APPRESTORE)
                    guarded([this] { WMAppRestore(); });
            });
}

// Like connectGuarded, but an error is reported once the press that changed the value has
// been ended. A box opened during a press in the groove would leave the bar pressed behind
// it, and its auto-repeat would change the value again and again: one box after another for
// one click. So the report waits until the press has been handled (the bar sets up its
// repeat after the change), then the press is ended, then the box opens.
void TFrmMain::connectTrackBar(QSlider* bar, void (TFrmMain::*change)(QObject*))
{
    connect(bar, &QSlider::valueChanged, this, [this, bar, change] {
        try {
            (this->*change)(bar);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            QMetaObject::invokeMethod(
                this,
                [bar, error] {
                    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1),
                                        QPointF(-1, -1), Qt::LeftButton, Qt::NoButton,
                                        Qt::NoModifier);
                    QCoreApplication::sendEvent(bar, &release);
                    reportUnhandledException(error);
                },
                Qt::QueuedConnection);
        }
    });
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label4) {
        switch (event->type()) {
        case QEvent::Enter:
            guarded([this] { Label4MouseEnter(Label4); });
            break;
        case QEvent::Leave:
            guarded([this] { Label4MouseLeave(Label4); });
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                Label4->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                guarded([this] { Label4Click(Label4); });
            break;
        default:
            break;
        }
    }
    if (watched == edSou && event->type() == QEvent::ContextMenu) {
        const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
        guarded([&] { edSouContextMenu(at); });
        return true;
    }
    if (watched == edSou && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1) {
            QChar key = typed[0];
            guarded([&] { edSouKeyPress(edSou, key); });
        }
    }
    return QWidget::eventFilter(watched, event); // the key still reaches the edit box
}
