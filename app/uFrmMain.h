#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWidget>
#include <functional>

class DbConnection;
class DbQuery;
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

// The main window: the idiom list and search pages on the left, the speech bar and the entry
// view on the right, the banner across the top.
class TFrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Controls and components, in layout order.
    DbConnection* ADOConnection1;
    DbQuery* ADOQuery1;
    TSpVoice* SpVoice1;
    Panel* pnlClient;
    Panel* pnlLeft;
    TGauge* Gauge1;
    Panel* pnlLClient;
    QFrame* Shape1;
    QStackedWidget* pgMain;
    QWidget* tsList;
    Panel* Panel2;
    ListBox* ListBox1;
    QWidget* tsSearch;
    Panel* Panel3;
    QRadioButton* RadPinYin;
    QRadioButton* RadHanZi;
    QLineEdit* edSou;
    QPushButton* BitBtn2;
    ListBox* ListBox2;
    Panel* Panel4;
    TPaintPanel* pnlLLeft;
    TImgCheckButton* btnList;
    TImgCheckButton* btnSearch;
    TImgButton* ImgStest;
    Panel* pnlRight;
    RichEdit* RichText;
    Panel* pnlRTop;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QSlider* TraSound;
    QSlider* TraSpeed;
    QComboBox* YName;
    QFrame* Shape2;
    QToolButton* brPlay;
    QToolButton* bPlay;
    QToolButton* bPuse;
    QToolButton* bStop;
    QTimer* Timer1;
    QMenu* PopupMenu1;
    QAction* N1;
    QAction* N2;
    QLabel* Label4;
    Panel* pnlAD;
    TWebBrowseEx* wbAD = nullptr;

    void ConnectDB();
    void SlectChengYu(const QByteArray& idiom);

    // Event handlers.
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

signals:
    // The window was closed by the user; the run ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createSearchPage();
    void createSpeechBar();
    void createNavigationStrip();
    void createBanner();
    void setTrackBarFromCode(QSlider* bar, int position, void (TFrmMain::*change)(QObject*));
    void connectHandlers();
    void showEntryOf(ListBox* list);

    WakeServer* m_wakeServer;
    // The banner's browser comes from a module of its own (see BannerLoader); without it the
    // banner stays empty and wbAD null.
    QWidget* m_bannerWidget = nullptr;
    std::function<void(QObject*, qint32&)> m_bannerContextMenu;
};

// The main window of the running program.
extern TFrmMain* FrmMain;
