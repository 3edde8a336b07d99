#pragma once

#include "LearnerFile.h"

#include <QByteArray>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <future>
#include <memory>

class DbConnection;
class DbQuery;
class IdiomFinder;
class ListBox;
class Panel;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QTimer;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QStackedWidget;
class QToolButton;
class RichEdit;
class StudyPage;
class TGauge;
class TSpVoice;
class TImgButton;
class TImgCheckButton;
class TPaintPanel;
class TWebBrowseEx;
class WakeServer;

// The message a second copy of the program sends to wake the running one.
inline constexpr unsigned WM_APPRESTORE = 1349;

// A page on the publisher's host: WENQUELL_PUBLISHER_URL when the program was built with one,
// else the site/ folder beside the executable.
QUrl publisherPage(const QString& path);

// The connection string of the idiom store beside the program.
QString storeConnectionString();

// The main window: the idiom list and search pages on the left, the speech bar and the entry
// view on the right, the banner across the top.
class TFrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Controls and components, in layout order.
    DbConnection* ADOConnection1; // the idiom store (SQLite behind a Jet-style connection)
    DbQuery* ADOQuery1;           // the one query every list, search and entry reads through
    TSpVoice* SpVoice1;           // the voice component: connects to a voice on first use
    Panel* pnlClient;
    Panel* pnlLeft;
    TGauge* Gauge1; // progress of the mixed-mode walk before speaking
    Panel* pnlLClient;
    QFrame* Shape1;             // the line between the navigation strip and the pages
    QStackedWidget* pgMain;     // the pages: the full list, the search
    QWidget* tsList;            // the full-list page
    Panel* Panel2;              // the full-list page's title
    ListBox* ListBox1;          // every idiom of the store
    QWidget* tsSearch;          // the search page
    Panel* Panel3;              // the search page's box: mode, text, button
    QRadioButton* RadPinYin;    // search by pinyin (SPingYin)
    QRadioButton* RadHanZi;     // search by characters (ChengYu)
    QLineEdit* edSou;           // the search text
    QPushButton* BitBtn2;       // starts the search
    ListBox* ListBox2;          // the search results
    QAction* acMeaning;         // "按释义搜索", the meaning search
    Panel* Panel4;              // the search page's title
    TPaintPanel* pnlLLeft;      // the navigation strip
    TImgCheckButton* btnList;   // shows the full-list page
    TImgCheckButton* btnSearch; // shows the search page
    TImgButton* ImgStest;       // opens the idiom game (not a test)
    TImgCheckButton* btnStudy;  // shows the learner's page (below the game's button)
    StudyPage* tsStudy;         // the learner's page: today's idiom, history, word book
    Panel* pnlRight;
    RichEdit* RichText; // the entry view: five labelled lines
    Panel* pnlRTop;     // the speech bar
    QLabel* Label1;     // "音量", the volume slider's label
    QLabel* Label2;     // "语速", the rate slider's label
    QLabel* Label3;     // "语言", the speech mode box's label
    QSlider* TraSound;  // volume, 0..100
    QSlider* TraSpeed;  // rate, -5..5
    QComboBox* YName;   // the speech mode: all Chinese, or mixed with English
    QFrame* Shape2;
    QToolButton* brPlay;          // resumes (ContClick)
    QToolButton* bPlay;           // speaks the entry (PlayClick)
    QToolButton* bPuse;           // pauses (StopClick)
    QToolButton* bStop;           // stops and releases the voice (CloseClick)
    QToolButton* bBook;           // puts the shown idiom in the word book, or takes it out
    QTimer* Timer1;               // starts the update check 5 s after start-up
    QMenu* PopupMenu1;            // the entry view's context menu
    QAction* N1;                  // copy
    QAction* N2;                  // select all
    QAction* N3;                  // the word book, as bBook
    QLabel* Label4;               // the link to the publisher's site
    Panel* pnlAD;                 // the banner's place
    TWebBrowseEx* wbAD = nullptr; // the banner's browser, when the banner module is there

    void ConnectDB();
    void SlectChengYu(const QByteArray& idiom);

    // Event handlers. The speech bar's keep their first names: StopClick pauses, ContClick
    // resumes, CloseClick stops.
    void FormCreate(QObject* Sender);
    void btnListClick(QObject* Sender);
    void ImgStestClick(QObject* Sender);
    void Label4Click(QObject* Sender);
    void Label4MouseEnter(QObject* Sender);
    void Label4MouseLeave(QObject* Sender);
    void Timer1Timer(QObject* Sender);
    void wbADShowContextMenu(QObject* Sender, qint32& Result);
    void ListBox1Click(QObject* Sender);
    void ListBox2Click(QObject* Sender);
    void BitBtn2Click(QObject* Sender);
    void edSouKeyPress(QObject* Sender, QChar& Key);
    void RadPinYinClick(QObject* Sender);
    void RadHanZiClick(QObject* Sender);
    void acMeaningClick(QObject* Sender);
    void PlayClick(QObject* Sender);
    void StopClick(QObject* Sender);
    void ContClick(QObject* Sender);
    void CloseClick(QObject* Sender);
    void TraSoundChange(QObject* Sender);
    void TraSpeedChange(QObject* Sender);
    void RichTextContextPopup(const QPoint& pos);
    void N1Click(QObject* Sender);
    void N2Click(QObject* Sender);
    void WMAppRestore();
    // The learner's memory, added to the window.
    void bBookClick(QObject* Sender);
    void exportBook();
    void importBook();
    void reviewBook();
    QString explanationOf(const IdiomKey& key);
    LearnerFile* learner() const { return m_learner.get(); }
    // The idiom whose entry is shown; empty before the first.
    IdiomKey shownIdiom() const { return m_shown; }

signals:
    // The window was closed by the user; the run ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createSearchPage();
    void createSpeechBar();
    void createNavigationStrip();
    void createBanner();
    void showBanner();
    void setTrackBarFromCode(QSlider* bar, int position, void (TFrmMain::*change)(QObject*));
    void connectHandlers();
    void connectTrackBar(QSlider* bar, void (TFrmMain::*change)(QObject*));
    void showEntryOf(ListBox* list);
    // The searches after the defined ones: by shape, the idioms inside a long text, by
    // meaning. Sets `highlight` to what the entry view marks in a result's entry.
    // The search box's text as every search takes it: without control characters, neither
    // empty nor longer than a search holds; otherwise the learner is told, and it is empty.
    QString searchText();
    QStringList furtherTries(const QString& typed, bool pinyinMode, QString& highlight);
    QStringList meaningSearch(const QString& typed, QString& highlight);
    void showResults(const QStringList& idioms, const QString& highlight);
    // Starts building the finder of idioms inside a text, on a thread of its own, once.
    void startIdiomFinder();
    const IdiomFinder& idiomFinder();
    void edSouContextMenu(const QPoint& globalPos);
    void createStudyPage(const QRect& sheet);
    void openLearner();
    void showBookState();
    void refreshStudyPage();

    WakeServer* m_wakeServer;
    // The banner's browser comes from a module of its own (see BannerLoader); without it the
    // banner stays empty and wbAD null. It is made after the window's first paint, and then
    // loads the page creation asked for.
    QWidget* m_bannerWidget = nullptr;
    QUrl m_bannerPage;
    // Set at the first paint, which starts what the list does not wait for: the banner's
    // browser and the speech engine's loading.
    bool m_painted = false;
    std::function<void(QObject*, qint32&)> m_bannerContextMenu;
    // What the entry view marks in an entry shown from the result list; empty for the
    // defined searches.
    QString m_resultHighlight;
    std::shared_future<std::shared_ptr<const IdiomFinder>> m_idiomFinder;
    // Opened after the first paint (openLearner); null until then.
    std::unique_ptr<LearnerFile> m_learner;
    IdiomKey m_shown;
};

// The main window of the running program.
extern TFrmMain* FrmMain;
