#include "uFrmMain.h"

#include "AppPaths.h"
#include "AppTitle.h"
#include "BannerLoader.h"
#include "DbConnection.h"
#include "DbQuery.h"
#include "EntryText.h"
#include "ErrorGuard.h"
#include "Exception.h"
#include "Gauges.h"
#include "Gbk.h"
#include "Glyphs.h"
#include "IdiomFinder.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "MeaningSearch.h"
#include "MessageDialogs.h"
#include "Panel.h"
#include "Pronunciations.h"
#include "ReviewDialog.h"
#include "RichEdit.h"
#include "ScreenPlacement.h"
#include "SearchText.h"
#include "ShapeSearch.h"
#include "SimplifiedChinese.h"
#include "SpeechLib_TLB.h"
#include "SpeechText.h"
#include "Statements.h"
#include "StudyPage.h"
#include "Translations.h"
#include "Update.h"
#include "VoiceEngine.h"
#include "WakeServer.h"
#include "WordBookText.h"
#include "uTest.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <tuple>

TFrmMain* FrmMain = nullptr;

// The speech text under construction and the language section open in it; rebuilt by every
// Play, read by nothing else.
static SpeechText::WalkState s_speech;

QUrl publisherPage(const QString& path)
{
    QString host = QStringLiteral(WENQUELL_PUBLISHER_URL);
    if (host.isEmpty()) {
        host = QUrl::fromLocalFile(AppPaths::besideProgram(QStringLiteral("site")))
                   .toString(QUrl::FullyEncoded);
    }
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return QUrl(host + path);
}

QString storeConnectionString()
{
    return DbConnection::forFile(AppPaths::besideProgram(AppPaths::StoreFile));
}

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

void TFrmMain::FormCreate(QObject*)
{
    // The page loads in the background; creation does not wait for it. The browser itself
    // starts once the window has been painted (showBanner): the address is checked now and
    // loaded then.
    m_bannerPage = BannerLoader::checkedAddress(
        publisherPage(QStringLiteral("/ad/201072718_1.html")).toString(QUrl::FullyEncoded));
    ConnectDB();
    // With the store closed (its failure already shown) the list stays empty; every later
    // action that needs the store reports that it is not open.
    if (ADOConnection1->connected()) {
        Statements::run(*ADOQuery1, Statements::fullList());
        ListBox1->addItems(ADOQuery1->column(Fields::Idiom));
    }
    InsetTextRect(RichText);
    // Each is a change from the layout's position, so each raises its change handler, which
    // hands the value to the voice (creating it). An error there ends the creation here, once
    // both bars show their values: the first error is reported, a second of the same start
    // would say the same.
    std::exception_ptr failure;
    for (const auto& [bar, position, change] :
         {std::tuple{TraSound, 100, &TFrmMain::TraSoundChange},
          std::tuple{TraSpeed, 0, &TFrmMain::TraSpeedChange}}) {
        try {
            setTrackBarFromCode(bar, position, change);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TFrmMain::setTrackBarFromCode(QSlider* bar, int position, void (TFrmMain::*change)(QObject*))
{
    if (bar->value() == position)
        return;
    {
        const QSignalBlocker quiet(bar); // the change handler runs below, unguarded
        bar->setValue(position);
    }
    (this->*change)(bar);
}

void TFrmMain::ConnectDB()
{
    try {
        const QString connectionString = storeConnectionString();
        ADOConnection1->close();
        ADOConnection1->setConnectionString(connectionString);
        ADOConnection1->setLoginPrompt(false);
        ADOConnection1->open();
        Pronunciations::useStore(connectionString);
    } catch (const std::exception& e) {
        MessageDialogs::show(this, MessageDialogs::Kind::Plain, appTitle(),
                             QStringLiteral("出错！") + exceptionText(e));
    }
}

void TFrmMain::SlectChengYu(const QByteArray& idiom)
{
    Statements::run(*ADOQuery1, Statements::entryLookup(idiom));
    const IdiomEntry fields = EntryText::read(*ADOQuery1);
    const QByteArray entry = EntryText::build(fields);
    RichText->setText(Gbk::toUnicode(entry));
    RichText->selectAll();
    SetLineSpacing(RichText, 2);
    RichText->setSelLength(0);
    RichText->ensureCursorVisible();
    // Every entry shown, from whichever list or the game, goes to the top of the history.
    if (ADOQuery1->recordCount() > 0 && !fields.chengYu.isEmpty()) {
        m_shown = {Gbk::toUnicode(fields.chengYu).trimmed(),
                   Gbk::toUnicode(fields.pingYin).trimmed()};
        if (m_learner && m_learner->addToHistory(m_shown))
            refreshStudyPage();
    }
    showBookState();
}

void TFrmMain::openLearner()
{
    m_learner = std::make_unique<LearnerFile>();
    const QByteArray chosen = qgetenv("WENQUELL_LEARNER_FILE");
    const LearnerFile::Opened opened =
        m_learner->open(chosen.isEmpty() ? LearnerFile::defaultPath() : QFile::decodeName(chosen));
    if (ListBox1->count() > 0) {
        const int row = todaysRow(QDate::currentDate().toJulianDay(), ListBox1->count());
        tsStudy->setTodaysIdiom(ListBox1->itemText(row));
    }
    // What was shown before the file was open is kept too.
    if (!m_shown.idiom.isEmpty())
        m_learner->addToHistory(m_shown);
    refreshStudyPage();
    showBookState();
    if (!opened.notice.isEmpty())
        MessageDialogs::information(this, QStringLiteral("提示"), opened.notice);
}

// Days since the epoch, by the UTC date: the review's day.
static qint64 reviewDay()
{
    return QDateTime::currentDateTimeUtc().date().toJulianDay() - QDate(1970, 1, 1).toJulianDay();
}

void TFrmMain::refreshStudyPage()
{
    tsStudy->refresh(m_learner.get(), reviewDay());
}

QString TFrmMain::explanationOf(const IdiomKey& key)
{
    Statements::run(*ADOQuery1, Statements::entryLookup(Gbk::fromUnicode(key.idiom)));
    return Gbk::toUnicode(EntryText::read(*ADOQuery1).dianGu).trimmed();
}

void TFrmMain::reviewBook()
{
    if (!m_learner)
        return;
    ReviewDialog review(
        m_learner.get(), reviewDay(), [this](const IdiomKey& key) { return explanationOf(key); },
        this);
    review.exec();
    refreshStudyPage();
}

void TFrmMain::showBookState()
{
    const bool can = m_learner && m_learner->writable() && !m_shown.idiom.isEmpty();
    const bool in = can && m_learner->inBook(m_shown);
    const QString text = in ? QStringLiteral("移出生词本") : QStringLiteral("加入生词本");
    bBook->setIcon(Glyphs::icon(in ? "book_in" : "book_out"));
    bBook->setToolTip(text);
    bBook->setAccessibleName(text);
    bBook->setEnabled(can);
    bBook->setProperty("inBook", in);
    N3->setText(text);
    N3->setEnabled(can);
}

void TFrmMain::bBookClick(QObject*)
{
    if (!m_learner || !m_learner->writable() || m_shown.idiom.isEmpty())
        return;
    if (m_learner->inBook(m_shown))
        m_learner->removeFromBook(m_shown);
    else
        m_learner->addToBook(m_shown);
    showBookState();
    refreshStudyPage();
}

void TFrmMain::exportBook()
{
    if (!m_learner)
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出生词本"),
                                                      QStringLiteral("生词本.txt"),
                                                      QStringLiteral("文本文件 (*.txt *.tsv)"));
    if (path.isEmpty())
        return;
    QList<WordBookText::Note> notes;
    for (const IdiomKey& key : m_learner->book()) {
        Statements::run(*ADOQuery1, Statements::entryLookup(Gbk::fromUnicode(key.idiom)));
        const IdiomEntry e = EntryText::read(*ADOQuery1);
        notes.append({key.idiom, key.pinyin, Gbk::toUnicode(e.dianGu).trimmed(),
                      Gbk::toUnicode(e.liZi).trimmed(), Gbk::toUnicode(e.chuchu).trimmed()});
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(WordBookText::toAnkiTsv(notes)) < 0 || !out.flush()) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("无法写入文件 %1。").arg(path));
        return;
    }
    MessageDialogs::information(
        this, QStringLiteral("提示"),
        QStringLiteral("已导出 %1 条成语到 %2。").arg(notes.size()).arg(path));
}

void TFrmMain::importBook()
{
    if (!m_learner || !m_learner->writable())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("导入生词本"), QString(),
                                     QStringLiteral("文本文件 (*.txt *.tsv);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("无法读取文件 %1。").arg(path));
        return;
    }
    QList<std::pair<QString, QString>> lines;
    for (const WordBookText::Line& line : WordBookText::parseImport(in.readAll()))
        lines.append({line.idiom, line.pinyin});
    const LearnerFile::Imported imported =
        m_learner->importToBook(lines, [this](const QString& idiom, const QString& pinyin) {
            Statements::run(*ADOQuery1, Statements::entryLookup(Gbk::fromUnicode(idiom)));
            const IdiomEntry e = EntryText::read(*ADOQuery1);
            if (ADOQuery1->recordCount() == 0 || e.chengYu.isEmpty())
                return IdiomKey();
            return IdiomKey{Gbk::toUnicode(e.chengYu).trimmed(),
                            pinyin.isEmpty() ? Gbk::toUnicode(e.pingYin).trimmed() : pinyin};
        });
    const int added = imported.added;
    const int already = imported.already;
    const QStringList& unknown = imported.unknown;
    showBookState();
    refreshStudyPage();
    QString text =
        QStringLiteral("已加入生词本 %1 条，原已在生词本中 %2 条。").arg(added).arg(already);
    if (!unknown.isEmpty())
        text += QStringLiteral("\n词典中没有的 %1 条：%2")
                    .arg(unknown.size())
                    .arg(unknown.join(QStringLiteral("、")));
    MessageDialogs::information(this, QStringLiteral("提示"), text);
}

void TFrmMain::btnListClick(QObject* Sender)
{
    // The checked marks are the buttons' own business; a call from code leaves them be.
    if (auto* button = qobject_cast<TImgCheckButton*>(Sender))
        pgMain->setCurrentIndex(button->Tag());
}

void TFrmMain::wbADShowContextMenu(QObject*, qint32& Result)
{
    Result = 0; // S_OK: the host "has shown" the menu, so the banner shows none
}

void TFrmMain::Label4Click(QObject*)
{
    const QUrl page = publisherPage(QStringLiteral("/201072118.html"));
    // Without a browser launcher on the machine nothing at all would happen: the user is told
    // where the page is instead.
    if (!QDesktopServices::openUrl(page))
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("无法打开浏览器。请在浏览器中访问：\n%1")
                                        .arg(page.toString(QUrl::PreferLocalFile)));
}

void TFrmMain::Label4MouseEnter(QObject*)
{
    QFont f = Label4->font();
    f.setUnderline(true);
    Label4->setFont(f);
}

void TFrmMain::Label4MouseLeave(QObject*)
{
    QFont f = Label4->font();
    f.setUnderline(false);
    Label4->setFont(f);
}

void TFrmMain::Timer1Timer(QObject*)
{
    const QByteArray address = Gbk::fromUnicode(
        publisherPage(QStringLiteral("/SiteBack/updateTxt/18.txt")).toString(QUrl::FullyEncoded));
    DoUpdate(std::uintptr_t(winId()), address.constData());
    Timer1->stop();
}

void TFrmMain::ImgStestClick(QObject*)
{
    // Each game gets a window of its own, owned by no one and gone when it closes. Nothing
    // that goes wrong in opening or showing it is shown; the main window simply goes on.
    swallowed(QStringLiteral("成语游戏无法打开"), [this] {
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
    });
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
    if (!m_resultHighlight.isEmpty())
        RichText->highlight(m_resultHighlight);
}

void TFrmMain::BitBtn2Click(QObject*)
{
    const QString typed = searchText();
    if (typed.isEmpty())
        return;
    const QByteArray text = Gbk::fromUnicode(typed);
    const QByteArray statement =
        RadPinYin->isChecked() ? Statements::pinyinSearch(text) : Statements::characterSearch(text);
    Statements::run(*ADOQuery1, statement);
    if (ADOQuery1->recordCount() == 0) {
        // Nothing as typed: once more with the text as the store spells it, or in the other
        // mode when the text plainly belongs there (the wrong radio button).
        const SearchText::Try next = SearchText::secondTry(typed, RadPinYin->isChecked(),
                                                           &SimplifiedChinese::fromTraditional);
        if (!next.text.isEmpty()) {
            const QByteArray again = Gbk::fromUnicode(next.text);
            Statements::run(*ADOQuery1, next.pinyinSearch ? Statements::pinyinSearch(again)
                                                          : Statements::characterSearch(again));
        }
    }
    QString highlight;
    const QStringList found = ADOQuery1->recordCount() > 0
                                  ? ADOQuery1->column(Fields::Idiom)
                                  : furtherTries(typed, RadPinYin->isChecked(), highlight);
    if (found.isEmpty()) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("Wenquell中未找到相关的词语信息！"));
        return;
    }
    showResults(found, highlight);
}

void TFrmMain::showResults(const QStringList& idioms, const QString& highlight)
{
    {
        ListBox2->setUpdatesEnabled(false);
        const auto resume = qScopeGuard([this] { ListBox2->setUpdatesEnabled(true); });
        ListBox2->clear();
        ListBox2->addItems(idioms);
    }
    m_resultHighlight = highlight;
    ListBox2->setItemIndex(0);
}

QStringList TFrmMain::furtherTries(const QString& typed, bool pinyinMode, QString& highlight)
{
    const QString characters = SearchText::characters(typed, &SimplifiedChinese::fromTraditional);
    const ShapeSearch::Pattern shape = ShapeSearch::parse(characters);
    if (shape.kind == ShapeSearch::Pattern::Kind::Wildcards && pinyinMode &&
        !SearchText::hasHan(typed)) {
        // Pinyin with a mark for one letter: the pinyin search with "_" there.
        QString pinyin = SearchText::pinyin(typed);
        pinyin.replace(u'?', u'_').replace(u'*', u'_');
        Statements::run(*ADOQuery1, Statements::pinyinSearch(Gbk::fromUnicode(pinyin)));
        if (ADOQuery1->recordCount() > 0)
            return ADOQuery1->column(Fields::Idiom);
    } else if (shape.kind != ShapeSearch::Pattern::Kind::None) {
        const QStringList found = ShapeSearch::filter(shape, ListBox1->items());
        if (!found.isEmpty())
            return found;
    }
    // A paragraph, typed, pasted or dropped: the idioms in it.
    if (characters.toUcs4().size() >= 8) {
        const QStringList found = idiomFinder().find(characters);
        if (!found.isEmpty())
            return found;
    }
    if (SearchText::hasHan(typed))
        return meaningSearch(typed, highlight);
    return {};
}

QStringList TFrmMain::meaningSearch(const QString& typed, QString& highlight)
{
    const QString needle = SearchText::characters(typed, &SimplifiedChinese::fromTraditional);
    const QStringList found = MeaningSearch::find(ADOConnection1->handle(), needle);
    highlight = found.isEmpty() ? QString() : needle;
    return found;
}

QString TFrmMain::searchText()
{
    const QString typed = SearchText::withoutControls(edSou->text());
    if (Gbk::fromUnicode(typed).isEmpty()) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("搜索内容不能为空！"));
        return {};
    }
    if (typed.size() > SearchText::MaxLength) {
        MessageDialogs::information(
            this, QStringLiteral("提示"),
            QStringLiteral("搜索内容太长，最多 %1 个字。").arg(SearchText::MaxLength));
        return {};
    }
    return typed;
}

void TFrmMain::acMeaningClick(QObject*)
{
    const QString typed = searchText();
    if (typed.isEmpty())
        return;
    QString highlight;
    const QStringList found = meaningSearch(typed, highlight);
    if (found.isEmpty()) {
        MessageDialogs::information(this, QStringLiteral("提示"),
                                    QStringLiteral("Wenquell中未找到相关的词语信息！"));
        return;
    }
    showResults(found, highlight);
}

void TFrmMain::startIdiomFinder()
{
    if (m_idiomFinder.valid())
        return;
    m_idiomFinder = std::async(std::launch::async, [headwords = ListBox1->items()] {
                        return std::shared_ptr<const IdiomFinder>(new IdiomFinder(headwords));
                    }).share();
}

const IdiomFinder& TFrmMain::idiomFinder()
{
    startIdiomFinder();
    return *m_idiomFinder.get();
}

void TFrmMain::edSouContextMenu(const QPoint& globalPos)
{
    // The edit box's own menu, with the meaning search after its items.
    const std::unique_ptr<QMenu> menu(edSou->createStandardContextMenu());
    menu->addSeparator();
    menu->addAction(acMeaning);
    menu->exec(globalPos);
}

void TFrmMain::PlayClick(QObject*)
{
    s_speech.language = 100;
    const QByteArray source = Gbk::fromUnicode(RichText->text());
    const QByteArray mode = Gbk::fromUnicode(YName->currentText());
    if (mode == SpeechText::chineseModeName()) {
        SpVoice1->Speak(Gbk::toUnicode(SpeechText::chineseMode(source)), SVSFlagsAsync);
    } else if (mode == SpeechText::mixedModeName()) {
        Gauge1->setVisible(true);
        SpeechText::mixedWalk(
            SpeechText::mixedReplacements(source), s_speech,
            [this](int progress) {
                Gauge1->setProgress(progress);
                return Gauge1->Progress();
            },
            [this](const QByteArray& speech) {
                SpVoice1->Speak(Gbk::toUnicode(speech), SVSFlagsAsync);
            });
    }
    // Any other text in the language box: nothing is spoken.
}

void TFrmMain::StopClick(QObject*)
{
    SpVoice1->Pause();
}

void TFrmMain::ContClick(QObject*)
{
    SpVoice1->Resume();
}

void TFrmMain::CloseClick(QObject*)
{
    Gauge1->setVisible(false);
    SpVoice1->Disconnect();
}

void TFrmMain::TraSoundChange(QObject*)
{
    SpVoice1->setVolume(TraSound->value());
}

void TFrmMain::TraSpeedChange(QObject*)
{
    SpVoice1->setRate(TraSpeed->value());
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
    m_resultHighlight.clear();
}

void TFrmMain::RadHanZiClick(QObject*)
{
    edSou->clear();
    ListBox2->clear();
    m_resultHighlight.clear();
}

void TFrmMain::RichTextContextPopup(const QPoint& pos)
{
    N1->setEnabled(true);
    N2->setEnabled(RichText->selLength() > 0);
    showBookState();
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

void TFrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The window keeps its place where it fits on its screen; on a smaller screen it moves
    // just enough to be all there. Before it is first mapped, no flicker.
    if (!event->spontaneous())
        ScreenPlacement::keepOnScreen(this);
}

bool TFrmMain::event(QEvent* event)
{
    // After the first paint has reached the screen, not before: the list comes first.
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, [this] {
            // Before the window was mapped its frame was not known; now the title bar counts
            // too (a window larger than its screen keeps its title bar on it, to be dragged).
            ScreenPlacement::keepOnScreen(this);
            VoiceEngine::instance().prepare();
            // Qt's own texts in Chinese for a Chinese desktop: nothing on the first screen
            // shows one.
            Translations::installQtTranslations();
            guarded([this] { showBanner(); });
            // The learner's file: after the list and the banner, never before them.
            guarded([this] { openLearner(); });
        });
    }
    return QWidget::event(event);
}

void TFrmMain::showBanner()
{
    if (m_bannerPage.isEmpty() || !BannerLoader::bannerWanted())
        return;
    // Without the graphics it needs the browser would bring the whole window down; the
    // dictionary goes on with an empty strip, and says why where it is started from.
    QString why;
    if (!BannerLoader::canDrawBanner(&why)) {
        printErrorLine(QStringLiteral("横幅不显示：") + why);
        return;
    }
    createBanner();
    BannerLoader::navigate(m_bannerWidget, m_bannerPage);
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
