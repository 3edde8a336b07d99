#include "AppPaths.h"
#include "BrowserEngine.h"
#include "Exception.h"
#include "MessageDialogs.h"
#include "TestSupport.h"
#include "WebBrowseEx.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineSettings>

#include <cstring>

using Option = TUserInterfaceOption;
using Call = std::function<HRESULT(TWebBrowseEx&)>;
using Install = std::function<void(TWebBrowseEx&)>;

Q_DECLARE_METATYPE(TUserInterfaceOptions)
Q_DECLARE_METATYPE(TEnterMode)
Q_DECLARE_METATYPE(KeyMessage)
Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(Install)

namespace {

const TUserInterfaceOptions BannerOptions{Option::DontUse3DBorders, Option::DontUseScrollBars,
                                          Option::EnableThemes};

TUserInterfaceOptions everyOption()
{
    TUserInterfaceOptions all;
    for (int i = 0; i < UserInterfaceOptionCount; ++i)
        all.insert(Option(i));
    return all;
}

KeyMessage keyDown(char key, bool leftCtrl, bool rightCtrl = false, bool leftAlt = false,
                   bool rightAlt = false)
{
    return KeyMessage{WM_KEYDOWN, quint32(key), leftCtrl, rightCtrl, leftAlt, rightAlt};
}

// Receives the addresses QDesktopServices is asked to open, instead of the desktop.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

QMenu* visibleMenu()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible())
            return menu;
    return nullptr;
}

} // namespace

class TestWebBrowseEx : public QObject
{
    Q_OBJECT

    QTemporaryDir m_site;

    QString writePage(const QString& name, const QString& html)
    {
        QFile f(m_site.filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(html.toUtf8());
        return f.fileName();
    }

    static bool navigate(TWebBrowseEx& browser, const QString& address)
    {
        QSignalSpy loaded(&browser, &QWebEngineView::loadFinished);
        browser.Navigate(address);
        return loaded.wait(30000) && loaded.last().at(0).toBool();
    }

    static QVariant runScript(TWebBrowseEx& browser, const QString& source)
    {
        QVariant result;
        bool done = false;
        browser.page()->runJavaScript(source, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? result : QVariant();
    }

    // The page in a window of its own, shown and exposed.
    static void showPage(QWidget& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

private slots:
    void initTestCase() { QVERIFY(m_site.isValid()); }

    // --- Host flags -----------------------------------------------------------------

    void hostFlags_data()
    {
        QTest::addColumn<TUserInterfaceOptions>("options");
        QTest::addColumn<TEnterMode>("enterMode");
        QTest::addColumn<quint32>("flags");
        QTest::newRow("banner") << BannerOptions << emFlagDiv << quint32(262412);
        QTest::newRow("banner, P on Enter") << BannerOptions << emFlagP << quint32(0x4000C);
        QTest::newRow("empty") << TUserInterfaceOptions() << emFlagDiv << quint32(256);
        QTest::newRow("empty, P on Enter") << TUserInterfaceOptions() << emFlagP << quint32(0);
        // The DIV bit is set, not added: with its own option it stays a single 0x100.
        QTest::newRow("DIV option and DIV mode")
            << TUserInterfaceOptions{Option::InsertDivTagOnEditMode} << emFlagDiv << quint32(0x100);
        QTest::newRow("first option")
            << TUserInterfaceOptions{Option::DisableTextSelect} << emFlagP << quint32(0x1);
        QTest::newRow("last option")
            << TUserInterfaceOptions{Option::ForceUserActivationOnActiveXJava} << emFlagP
            << quint32(0x20000000);
        QTest::newRow("both sides of 0x8000")
            << TUserInterfaceOptions{Option::EnablesFormsAutoComplete,
                                     Option::ForceSameWindowNavigation}
            << emFlagP << quint32(0x14000);
        // Every option once: all bits up to 0x20000000 except 0x8000, which has no option.
        QTest::newRow("every option") << everyOption() << emFlagP << quint32(0x3FFF7FFF);
    }
    void hostFlags()
    {
        QFETCH(TUserInterfaceOptions, options);
        QFETCH(TEnterMode, enterMode);
        QFETCH(quint32, flags);
        TWebBrowseEx browser;
        browser.setEnterModeOnEdit(enterMode);
        browser.setUserInterfaceOptions(options);
        QCOMPARE(browser.UserInterfaceOptions(), options);

        TDOCHOSTUIINFO info;
        std::memset(&info, 0xA5, sizeof info); // what a careless caller leaves there
        QCOMPARE(browser.GetHostInfo(info), S_OK);
        QCOMPARE(info.cbSize, quint32(sizeof(TDOCHOSTUIINFO)));
        QCOMPARE(info.dwFlags, flags);
        QCOMPARE(info.dwDoubleClick, quint32(0));
        QCOMPARE(info.pchHostCss, nullptr);
        QCOMPARE(info.pchHostNS, nullptr);
    }

    void constructionDefaults()
    {
        TWebBrowseEx browser;
        QCOMPARE(browser.EnterModeOnEdit(), emFlagDiv);
        QCOMPARE(browser.DisableCtrlShortcuts(), QStringLiteral("N"));
        QVERIFY(browser.HelpFile().isEmpty());
        QVERIFY(browser.UserInterfaceOptions().isEmpty());
        TDOCHOSTUIINFO info;
        browser.GetHostInfo(info);
        QCOMPARE(info.dwFlags, quint32(256));
    }

    void hostInfoHandlerHasTheLastWord()
    {
        TWebBrowseEx browser;
        browser.setUserInterfaceOptions(BannerOptions);
        quint32 given = 0;
        browser.OnGetHostInfo = [&](TWebBrowseEx*, TDOCHOSTUIINFO& info) {
            given = info.dwFlags;
            info.dwFlags = 0x8;
            info.dwDoubleClick = 2;
            return E_NOTIMPL; // a failure of the handler changes nothing about the answer
        };
        TDOCHOSTUIINFO info;
        QCOMPARE(browser.GetHostInfo(info), S_OK);
        QCOMPARE(given, quint32(262412)); // filled in before the handler runs
        QCOMPARE(info.dwFlags, quint32(0x8));
        QCOMPARE(info.dwDoubleClick, quint32(2));
    }

    void settingOptionsAsksForHostInfoEveryTime()
    {
        TWebBrowseEx browser;
        QList<quint32> asked;
        browser.OnGetHostInfo = [&](TWebBrowseEx*, TDOCHOSTUIINFO& info) {
            asked.append(info.dwFlags);
            return S_OK;
        };
        browser.setUserInterfaceOptions(BannerOptions);
        browser.setUserInterfaceOptions(BannerOptions);
        browser.setUserInterfaceOptions({});
        QCOMPARE(asked, (QList<quint32>{262412, 262412, 256}));
        // The browser takes the answer: scroll bars follow the flags it was given.
        QVERIFY(browser.settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
        browser.setUserInterfaceOptions({Option::DontUseScrollBars});
        QVERIFY(!browser.settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
    }

    void borderFollowsTheFlags_data()
    {
        QTest::addColumn<TUserInterfaceOptions>("options");
        QTest::addColumn<int>("inset");
        QTest::newRow("banner: no border") << BannerOptions << 0;
        QTest::newRow("classic 3D border") << TUserInterfaceOptions{Option::DisableThemes} << 2;
        QTest::newRow("themed border")
            << TUserInterfaceOptions{Option::EnableThemes}
            << QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    }
    void borderFollowsTheFlags()
    {
        QFETCH(TUserInterfaceOptions, options);
        QFETCH(int, inset);
        TWebBrowseEx browser;
        browser.setUserInterfaceOptions(options);
        const QMargins m = browser.layout()->contentsMargins();
        QCOMPARE(m, QMargins(inset, inset, inset, inset));
    }

    // --- Host operations: default answers and what a handler changes ------------------

    void operationAnswers_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<Install>("handler");
        QTest::addColumn<quint32>("expected");
        // The codes as the browser side knows them, written out here on purpose.
        const quint32 Ok = 0, False = 1, NotImpl = 0x80004001;

        const Call showContextMenu = [](TWebBrowseEx& b) {
            const QPoint at(1, 2);
            return b.ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr);
        };
        const Call getHostInfo = [](TWebBrowseEx& b) {
            TDOCHOSTUIINFO info;
            return b.GetHostInfo(info);
        };
        const Call showUI = [](TWebBrowseEx& b) {
            return b.ShowUI(0, nullptr, nullptr, nullptr, nullptr);
        };
        const Call hideUI = [](TWebBrowseEx& b) { return b.HideUI(); };
        const Call updateUI = [](TWebBrowseEx& b) { return b.UpdateUI(); };
        const Call translateAccelerator = [](TWebBrowseEx& b) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::ControlModifier);
            return b.TranslateAccelerator(&key, nullptr, 0);
        };
        const Call getOptionKeyPath = [](TWebBrowseEx& b) {
            QString key = QStringLiteral("left over by the caller");
            return b.GetOptionKeyPath(key, 0);
        };
        const Call getDropTarget = [](TWebBrowseEx& b) {
            QObject* target = nullptr;
            return b.GetDropTarget(nullptr, target);
        };
        const Call getExternal = [](TWebBrowseEx& b) {
            QObject* external = nullptr;
            return b.GetExternal(external);
        };
        const Call translateUrl = [](TWebBrowseEx& b) {
            TaskMemText out;
            return b.TranslateUrl(0, QStringLiteral("http://example.org/"), out);
        };
        const Call filterDataObject = [](TWebBrowseEx& b) {
            QMimeData data;
            QMimeData* filtered = nullptr;
            return b.FilterDataObject(&data, filtered);
        };
        const Call showMessage = [](TWebBrowseEx& b) {
            qint32 result = 0;
            return b.ShowMessage(0, QStringLiteral("text"), QStringLiteral("caption"), MB_OK,
                                 QString(), 0, result);
        };
        const Call showHelp = [](TWebBrowseEx& b) {
            QObject* hit = nullptr;
            return b.ShowHelp(0, QString(), HH_DISPLAY_TOPIC, 0, QPoint(), hit);
        };
        const Install none;

        QTest::newRow("ShowContextMenu") << showContextMenu << none << NotImpl;
        QTest::newRow("GetHostInfo") << getHostInfo << none << Ok;
        QTest::newRow("ShowUI") << showUI << none << False;
        QTest::newRow("HideUI") << hideUI << none << False;
        QTest::newRow("UpdateUI") << updateUI << none << False;
        QTest::newRow("EnableModeless")
            << Call([](TWebBrowseEx& b) { return b.EnableModeless(true); }) << none << Ok;
        QTest::newRow("OnDocWindowActivate")
            << Call([](TWebBrowseEx& b) { return b.OnDocWindowActivate(true); }) << none << Ok;
        QTest::newRow("OnFrameWindowActivate")
            << Call([](TWebBrowseEx& b) { return b.OnFrameWindowActivate(false); }) << none << Ok;
        QTest::newRow("ResizeBorder") << Call([](TWebBrowseEx& b) {
            const QRect border(0, 0, 10, 10);
            return b.ResizeBorder(&border, nullptr, true);
        }) << none << Ok;
        QTest::newRow("TranslateAccelerator") << translateAccelerator << none << False;
        QTest::newRow("GetOptionKeyPath") << getOptionKeyPath << none << False;
        QTest::newRow("GetDropTarget") << getDropTarget << none << Ok;
        QTest::newRow("GetExternal") << getExternal << none << False;
        QTest::newRow("TranslateUrl") << translateUrl << none << False;
        QTest::newRow("FilterDataObject") << filterDataObject << none << False;
        QTest::newRow("ShowMessage") << showMessage << none << False;
        QTest::newRow("ShowHelp, no help file") << showHelp << none << False;

        QTest::newRow("ShowContextMenu, banner handler")
            << showContextMenu << Install([](TWebBrowseEx& b) {
                   b.OnShowContextMenu = [](TWebBrowseEx*, quint32, const QPoint*, QWebEnginePage*,
                                            QWebEngineContextMenuRequest*,
                                            HRESULT& result) { result = S_OK; };
               })
            << Ok;
        QTest::newRow("ShowContextMenu, handler leaves the result")
            << showContextMenu << Install([](TWebBrowseEx& b) {
                   b.OnShowContextMenu = [](TWebBrowseEx*, quint32, const QPoint*, QWebEnginePage*,
                                            QWebEngineContextMenuRequest*, HRESULT&) {};
               })
            << NotImpl;
        QTest::newRow("ShowUI, handled") << showUI << Install([](TWebBrowseEx& b) {
            b.OnShowUI = [](TWebBrowseEx*, quint32, QObject*, QObject*, QObject*, QObject*,
                            HRESULT& result) { result = S_OK; };
        }) << Ok;
        QTest::newRow("HideUI, handled") << hideUI << Install([](TWebBrowseEx& b) {
            b.OnHideUI = [](TWebBrowseEx*, HRESULT& result) { result = S_OK; };
        }) << Ok;
        QTest::newRow("UpdateUI, handled") << updateUI << Install([](TWebBrowseEx& b) {
            b.OnUpdateUI = [](TWebBrowseEx*, HRESULT& result) { result = S_OK; };
        }) << Ok;
        QTest::newRow("TranslateAccelerator, done")
            << translateAccelerator << Install([](TWebBrowseEx& b) {
                   b.OnTranslateAccelerator = [](TWebBrowseEx*, QKeyEvent* key, const QUuid*,
                                                 quint32,
                                                 bool& done) { done = key->key() == Qt::Key_X; };
               })
            << Ok;
        QTest::newRow("TranslateAccelerator, not done")
            << translateAccelerator << Install([](TWebBrowseEx& b) {
                   b.OnTranslateAccelerator = [](TWebBrowseEx*, QKeyEvent*, const QUuid*, quint32,
                                                 bool&) {};
               })
            << False;
        QTest::newRow("GetOptionKeyPath, key given")
            << getOptionKeyPath << Install([](TWebBrowseEx& b) {
                   b.OnGetOptionKeyPath = [](TWebBrowseEx*, QString& key) {
                       key = QStringLiteral("Software\\Wenquell");
                   };
               })
            << Ok;
        QTest::newRow("GetDropTarget, handler leaves it null")
            << getDropTarget
            << Install([](TWebBrowseEx& b) { b.OnGetDropTarget = [](TWebBrowseEx*, QObject*&) {}; })
            << Ok;
        QTest::newRow("GetExternal, object given") << getExternal << Install([](TWebBrowseEx& b) {
            b.OnGetExternal = [](TWebBrowseEx* sender, QObject*& external) { external = sender; };
        }) << Ok;
        QTest::newRow("TranslateUrl, handler leaves the text empty")
            << translateUrl << Install([](TWebBrowseEx& b) {
                   b.OnTranslateUrl = [](TWebBrowseEx*, const QString&, QString&) {};
               })
            << False;
        QTest::newRow("TranslateUrl, translated") << translateUrl << Install([](TWebBrowseEx& b) {
            b.OnTranslateUrl = [](TWebBrowseEx*, const QString&, QString& out) {
                out = QStringLiteral("about:blank");
            };
        }) << Ok;
        QTest::newRow("FilterDataObject, filtered")
            << filterDataObject << Install([](TWebBrowseEx& b) {
                   b.OnFilterDataObject = [](TWebBrowseEx*, const QMimeData* in, QMimeData*& out) {
                       out = const_cast<QMimeData*>(in);
                   };
               })
            << Ok;
        QTest::newRow("ShowMessage, handler's answer")
            << showMessage << Install([](TWebBrowseEx& b) {
                   b.OnShowMessage = [](TWebBrowseEx*, WId, const QString&, const QString&, quint32,
                                        const QString&, quint32, qint32&) { return E_NOTIMPL; };
               })
            << NotImpl;
        QTest::newRow("ShowHelp, handler's answer") << showHelp << Install([](TWebBrowseEx& b) {
            b.OnShowHelp = [](TWebBrowseEx*, WId, const QString&, quint32, quint32, QPoint,
                              QObject*&) { return S_OK; };
        }) << Ok;
    }
    void operationAnswers()
    {
        QFETCH(Call, call);
        QFETCH(Install, handler);
        QFETCH(quint32, expected);
        TWebBrowseEx browser;
        if (handler)
            handler(browser);
        QCOMPARE(quint32(call(browser)), expected);
    }

    void outputsStartNull()
    {
        TWebBrowseEx browser;
        QObject garbage;
        QObject* target = &garbage;
        QObject* external = &garbage;
        QMimeData* filtered = reinterpret_cast<QMimeData*>(&garbage);
        QMimeData data;
        QCOMPARE(browser.GetDropTarget(&garbage, target), S_OK);
        QCOMPARE(target, nullptr);
        QCOMPARE(browser.GetExternal(external), S_FALSE);
        QCOMPARE(external, nullptr);
        QCOMPARE(browser.FilterDataObject(&data, filtered), S_FALSE);
        QCOMPARE(filtered, nullptr);

        QObject supplied;
        browser.OnGetDropTarget = [&](TWebBrowseEx*, QObject*& out) { out = &supplied; };
        QCOMPARE(browser.GetDropTarget(nullptr, target), S_OK);
        QCOMPARE(target, &supplied);
    }

    void translateUrlCopiesTheText_data()
    {
        QTest::addColumn<QString>("translated");
        QTest::addColumn<int>("bytes");
        QTest::newRow("about:blank") << QStringLiteral("about:blank") << 24;
        QTest::newRow("one character") << QStringLiteral("x") << 4;
        QTest::newRow("Chinese path") << QStringLiteral("file:///站/横幅.html") << 36;
        QTest::newRow("outside the BMP") << QStringLiteral("a\U00020000") << 8;
    }
    void translateUrlCopiesTheText()
    {
        QFETCH(QString, translated);
        QFETCH(int, bytes);
        TWebBrowseEx browser;
        QString seen;
        browser.OnTranslateUrl = [&](TWebBrowseEx* sender, const QString& in, QString& out) {
            QCOMPARE(sender, &browser);
            QVERIFY(out.isEmpty());
            seen = in;
            out = translated;
        };
        TaskMemText out;
        QCOMPARE(browser.TranslateUrl(0, QStringLiteral("http://example.org/ad"), out), S_OK);
        QCOMPARE(seen, QStringLiteral("http://example.org/ad"));
        QCOMPARE(int(out.size() * sizeof(char16_t)), bytes);
        QCOMPARE(out.back(), u'\0');
        QCOMPARE(taskMemString(out), translated);
    }

    void translateUrlLeavesTheOutputAloneWhenNotTranslated()
    {
        TWebBrowseEx browser;
        TaskMemText out = taskMemCopy(QStringLiteral("kept"));
        QCOMPARE(browser.TranslateUrl(0, QStringLiteral("about:blank"), out), S_FALSE);
        QCOMPARE(taskMemString(out), QStringLiteral("kept"));
    }

    void showMessagePassesEverythingAndTakesTheAnswer()
    {
        TWebBrowseEx browser;
        QStringList seen;
        browser.OnShowMessage = [&](TWebBrowseEx*, WId hwnd, const QString& text,
                                    const QString& caption, quint32 type, const QString& helpFile,
                                    quint32 helpContext, qint32& result) {
            seen << QString::number(hwnd) << text << caption << QString::number(type) << helpFile
                 << QString::number(helpContext);
            result = IDCANCEL;
            return S_OK;
        };
        qint32 result = IDOK;
        QCOMPARE(browser.ShowMessage(42, QStringLiteral("确定吗？"), QStringLiteral("Page"),
                                     MB_OKCANCEL | MB_ICONQUESTION, QStringLiteral("h.chm"), 7,
                                     result),
                 S_OK);
        QCOMPARE(result, IDCANCEL);
        QCOMPARE(seen, (QStringList{"42", "确定吗？", "Page", "33", "h.chm", "7"}));
    }

    void showHelpWithoutHandler_data()
    {
        QTest::addColumn<QString>("helpFile");
        QTest::addColumn<QString>("browsersOwn");
        QTest::addColumn<HRESULT>("expected");
        QTest::addColumn<QString>("opened");
        QTest::newRow("help file set") << QStringLiteral("/opt/wenquell/help.html") << QString()
                                       << S_OK << QStringLiteral("/opt/wenquell/help.html");
        QTest::newRow("relative help file lies beside the program")
            << QStringLiteral("doc/help.html") << QString() << S_OK
            << QStringLiteral("/app/doc/help.html");
        QTest::newRow("browser has a help file of its own")
            << QStringLiteral("/opt/wenquell/help.html") << QStringLiteral("page.chm") << S_FALSE
            << QString();
        QTest::newRow("no help file") << QString() << QString() << S_FALSE << QString();
    }
    void showHelpWithoutHandler()
    {
        QFETCH(QString, helpFile);
        QFETCH(QString, browsersOwn);
        QFETCH(HRESULT, expected);
        QFETCH(QString, opened);
        AppPaths::setExecutableFileForTests(QStringLiteral("/app/wenquell"));
        OpenedUrls urls;
        TWebBrowseEx browser;
        browser.setHelpFile(helpFile);
        QObject* hit = nullptr;
        QCOMPARE(browser.ShowHelp(0, browsersOwn, HH_DISPLAY_TOPIC, 0, QPoint(), hit), expected);
        AppPaths::setExecutableFileForTests({});
        QCOMPARE(urls.urls.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty())
            QCOMPARE(urls.urls.first(), QUrl::fromLocalFile(opened));
    }

    void showHelpHandlerReplacesTheHelpFile()
    {
        OpenedUrls urls;
        TWebBrowseEx browser;
        browser.setHelpFile(QStringLiteral("/opt/wenquell/help.html"));
        browser.OnShowHelp = [](TWebBrowseEx*, WId, const QString&, quint32, quint32, QPoint,
                                QObject*&) { return S_FALSE; };
        QObject* hit = nullptr;
        QCOMPARE(browser.ShowHelp(0, QString(), HH_DISPLAY_TOPIC, 0, QPoint(), hit), S_FALSE);
        QVERIFY(urls.urls.isEmpty());
    }

    void throwingHandlerIsReportedAndTheDefaultStands()
    {
        DialogRecorder dialogs;
        TWebBrowseEx browser;
        browser.OnShowContextMenu = [](TWebBrowseEx*, quint32, const QPoint*, QWebEnginePage*,
                                       QWebEngineContextMenuRequest*,
                                       HRESULT&) { throw Exception(QStringLiteral("menu broke")); };
        browser.OnShowMessage = [](TWebBrowseEx*, WId, const QString&, const QString&, quint32,
                                   const QString&, quint32, qint32&) -> HRESULT {
            throw Exception(QStringLiteral("box broke"));
        };
        QCOMPARE(browser.ShowContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
        qint32 result = 0;
        QCOMPARE(browser.ShowMessage(0, {}, {}, MB_OK, {}, 0, result), S_FALSE);
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(dialogs.shown().at(0).kind, MessageDialogs::Kind::Critical);
        QCOMPARE(dialogs.shown().at(0).text, QStringLiteral("menu broke"));
    }

    void contextMenuIds_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("image");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<quint32>("id");
        QTest::newRow("page") << false << false << false << false << quint32(CONTEXT_MENU_DEFAULT);
        QTest::newRow("edit box with selection")
            << true << false << false << true << quint32(CONTEXT_MENU_CONTROL);
        QTest::newRow("image in a link")
            << false << true << true << false << quint32(CONTEXT_MENU_IMAGE);
        QTest::newRow("link") << false << false << true << true << quint32(CONTEXT_MENU_ANCHOR);
        QTest::newRow("selected text")
            << false << false << false << true << quint32(CONTEXT_MENU_TEXTSELECT);
    }
    void contextMenuIds()
    {
        QFETCH(bool, editable);
        QFETCH(bool, image);
        QFETCH(bool, link);
        QFETCH(bool, selection);
        QFETCH(quint32, id);
        QCOMPARE(contextMenuId(editable, image, link, selection), id);
    }

    // --- Ctrl shortcuts ------------------------------------------------------------------

    void ctrlShortcutTest_data()
    {
        QTest::addColumn<QString>("disabled");
        QTest::addColumn<KeyMessage>("message");
        QTest::addColumn<QString>("masked");
        const QString N = QStringLiteral("N");
        QTest::newRow("left Ctrl+N") << N << keyDown('N', true) << N;
        QTest::newRow("N alone") << N << keyDown('N', false) << QString();
        QTest::newRow("left Ctrl+O") << N << keyDown('O', true) << QString();
        QTest::newRow("second of two")
            << QStringLiteral("NO") << keyDown('O', true) << QStringLiteral("O");
        QTest::newRow("left Ctrl, left Alt") << N << keyDown('N', true, false, true) << QString();
        QTest::newRow("left Ctrl, right Alt (AltGr)")
            << N << keyDown('N', true, false, false, true) << QString();
        QTest::newRow("right Ctrl, right Alt") << N << keyDown('N', false, true, false, true) << N;
        QTest::newRow("right Ctrl, left Alt") << N << keyDown('N', false, true, true) << QString();
        QTest::newRow("empty text") << QString() << keyDown('N', true) << QString();
        QTest::newRow("case matters") << QStringLiteral("n") << keyDown('N', true) << QString();
        KeyMessage keyUp = keyDown('N', true);
        keyUp.message = 257;
        QTest::newRow("key-up") << N << keyUp << QString();
        KeyMessage highBits = keyDown('N', true);
        highBits.keyCode = 0x14E; // only the low byte counts
        QTest::newRow("low byte of the key code") << N << highBits << N;
    }
    void ctrlShortcutTest()
    {
        QFETCH(QString, disabled);
        QFETCH(KeyMessage, message);
        QFETCH(QString, masked);
        TWebBrowseEx browser;
        browser.setDisableCtrlShortcuts(disabled);
        QString raised;
        browser.OnMaskedCtrlChar = [&](TWebBrowseEx*, QChar c) { raised += c; };
        QCOMPARE(browser.MaskCtrlShortcut(message), !masked.isEmpty());
        QCOMPARE(raised, masked);
    }

    void keyDownMessages_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<quint32>("nativeModifierKey"); // a Ctrl or Alt press seen before
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<QString>("sides"); // l/r Ctrl, L/R Alt
        QTest::newRow("Ctrl+N, no press seen")
            << int(Qt::Key_N) << int(Qt::ControlModifier) << 0u << 0x4Eu << QStringLiteral("l");
        QTest::newRow("Ctrl+N, right Ctrl pressed") << int(Qt::Key_N) << int(Qt::ControlModifier)
                                                    << 0xffe4u << 0x4Eu << QStringLiteral("r");
        QTest::newRow("Ctrl+Alt+N") << int(Qt::Key_N) << int(Qt::ControlModifier | Qt::AltModifier)
                                    << 0u << 0x4Eu << QStringLiteral("lL");
        QTest::newRow("right Alt pressed, Ctrl+Alt+N")
            << int(Qt::Key_N) << int(Qt::ControlModifier | Qt::AltModifier) << 0xffeau << 0x4Eu
            << QStringLiteral("lR");
        // The Qt code of F1 ends in 0x30 ('0'); the virtual key does not.
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 0u << 0x70u << QString();
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 0u << 13u << QString();
        QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::ControlModifier) << 0u << 0x37u
                               << QStringLiteral("l");
        QTest::newRow("punctuation has none") << int(Qt::Key_Comma) << 0 << 0u << 0u << QString();
    }
    void keyDownMessages()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(quint32, nativeModifierKey);
        QFETCH(quint32, keyCode);
        QFETCH(QString, sides);
        ModifierSides followed;
        if (nativeModifierKey) {
            const int modifierKey = nativeModifierKey == 0xffe4 ? Qt::Key_Control : Qt::Key_Alt;
            QKeyEvent press(QEvent::KeyPress, modifierKey, Qt::NoModifier, 0, nativeModifierKey, 0);
            followModifierKey(followed, press);
        }
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
        const KeyMessage m = keyDownMessage(event, followed);
        QCOMPARE(m.message, WM_KEYDOWN);
        QCOMPARE(m.keyCode, keyCode);
        QCOMPARE(m.leftCtrl, sides.contains('l'));
        QCOMPARE(m.rightCtrl, sides.contains('r'));
        QCOMPARE(m.leftAlt, sides.contains('L'));
        QCOMPARE(m.rightAlt, sides.contains('R'));
    }

    void releasingAModifierForgetsIt()
    {
        ModifierSides sides;
        followModifierKey(sides, QKeyEvent(QEvent::KeyPress, Qt::Key_Control, {}, 0, 0xffe4, 0));
        QVERIFY(sides.rightCtrl);
        followModifierKey(sides, QKeyEvent(QEvent::KeyRelease, Qt::Key_Control, {}, 0, 0xffe4, 0));
        QVERIFY(!sides.rightCtrl);
    }

    // --- Navigate --------------------------------------------------------------------------

    void navigateRefusesWhatIsNoAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral("   ");
        QTest::newRow("no scheme") << QStringLiteral("ad/201072718_1.html");
        QTest::newRow("web address without host") << QStringLiteral("http://");
        QTest::newRow("broken host") << QStringLiteral("http://exa mple.org/");
    }
    void navigateRefusesWhatIsNoAddress()
    {
        QFETCH(QString, address);
        TWebBrowseEx browser;
        QVERIFY_THROWS_EXCEPTION(Exception, browser.Navigate(address));
    }

    // --- The real browser ------------------------------------------------------------------

    void aPageThatFailsToLoadIsTheEnginesBusiness()
    {
        DialogRecorder dialogs;
        TWebBrowseEx browser;
        QSignalSpy loaded(&browser, &QWebEngineView::loadFinished);
        browser.Navigate(m_site.filePath(QStringLiteral("missing.html")));
        QVERIFY(loaded.wait(30000));
        QCOMPARE(loaded.last().at(0).toBool(), false);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void pageShowsWithoutScrollBarsOrBorder_data()
    {
        QTest::addColumn<TUserInterfaceOptions>("options");
        QTest::addColumn<bool>("scrollBar");
        QTest::addColumn<bool>("border");
        QTest::newRow("banner") << BannerOptions << false << false;
        QTest::newRow("no options") << TUserInterfaceOptions() << true << true;
    }
    void pageShowsWithoutScrollBarsOrBorder()
    {
        QFETCH(TUserInterfaceOptions, options);
        QFETCH(bool, scrollBar);
        QFETCH(bool, border);
        const QString page = writePage(
            QStringLiteral("tall.html"),
            QStringLiteral("<html><body style='margin:0;background:#ff8000'>"
                           "<div style='height:2000px;width:3000px'>横幅</div></body></html>"));
        TWebBrowseEx browser;
        browser.setUserInterfaceOptions(options);
        browser.resize(300, 82);
        showPage(browser);
        QVERIFY(navigate(browser, page));
        const QColor orange(0xff, 0x80, 0x00);
        // The middle of the page shows its background once the engine has drawn it.
        QTRY_COMPARE_WITH_TIMEOUT(browser.grab().toImage().pixelColor(150, 40), orange, 10000);
        // The engine may draw the scroll bar and the border a frame or more after the page:
        // wait for what should come, and give what should not come time to show up.
        const auto notOrange = [&](int x, int y) {
            return browser.grab().toImage().pixelColor(x, y) != orange;
        };
        if (scrollBar || border) {
            QTRY_VERIFY_WITH_TIMEOUT(notOrange(browser.width() - 5, 40) == scrollBar &&
                                         notOrange(0, 0) == border,
                                     10000);
        } else {
            QTest::qWait(500);
        }
        QCOMPARE(notOrange(browser.width() - 5, 40), scrollBar); // vertical bar
        QCOMPARE(notOrange(0, 0), border);
    }

    void newOptionsTakeEffectOnTheShownPage()
    {
        const QString page =
            writePage(QStringLiteral("tall2.html"),
                      QStringLiteral("<html><body style='margin:0;background:#00ff00'>"
                                     "<div style='height:2000px'>x</div></body></html>"));
        TWebBrowseEx browser;
        browser.resize(300, 100);
        showPage(browser);
        QVERIFY(navigate(browser, page));
        const QColor green(0, 0xff, 0);
        QTRY_COMPARE_WITH_TIMEOUT(browser.grab().toImage().pixelColor(150, 50), green, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(browser.grab().toImage().pixelColor(294, 50) != green, 10000);
        browser.setUserInterfaceOptions(BannerOptions);
        QTRY_COMPARE_WITH_TIMEOUT(browser.grab().toImage().pixelColor(297, 50), green, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(browser.grab().toImage().pixelColor(0, 0), green, 10000);
    }

    void flagsReachTheDocument_data()
    {
        QTest::addColumn<TUserInterfaceOptions>("options");
        QTest::addColumn<TEnterMode>("enterMode");
        QTest::addColumn<QString>("userSelect");
        QTest::addColumn<QString>("separator");
        QTest::newRow("banner") << BannerOptions << emFlagDiv << QStringLiteral("auto")
                                << QStringLiteral("div");
        QTest::newRow("P on Enter")
            << BannerOptions << emFlagP << QStringLiteral("auto") << QStringLiteral("p");
        QTest::newRow("no text selection")
            << TUserInterfaceOptions{Option::DisableTextSelect} << emFlagDiv
            << QStringLiteral("none") << QStringLiteral("div");
    }
    void flagsReachTheDocument()
    {
        QFETCH(TUserInterfaceOptions, options);
        QFETCH(TEnterMode, enterMode);
        QFETCH(QString, userSelect);
        QFETCH(QString, separator);
        const QString page =
            writePage(QStringLiteral("edit.html"),
                      QStringLiteral("<html><body><div contenteditable>编辑</div></body></html>"));
        TWebBrowseEx browser;
        browser.setEnterModeOnEdit(enterMode);
        browser.setUserInterfaceOptions(options);
        QVERIFY(navigate(browser, page));
        const QString probe =
            QStringLiteral("getComputedStyle(document.body).webkitUserSelect + ' ' + "
                           "document.queryCommandValue('defaultParagraphSeparator')");
        QTRY_COMPARE_WITH_TIMEOUT(runScript(browser, probe).toString(),
                                  userSelect + QLatin1Char(' ') + separator, 10000);
    }

    void contextMenuIsTheHostsToSuppress_data()
    {
        QTest::addColumn<bool>("handler");
        QTest::newRow("no handler: the engine's menu") << false;
        QTest::newRow("banner handler: no menu") << true;
    }
    void contextMenuIsTheHostsToSuppress()
    {
        QFETCH(bool, handler);
        const QString page =
            writePage(QStringLiteral("menu.html"),
                      QStringLiteral("<html><body style='margin:0;background:#fff'><h1>横幅</h1>"
                                     "<a href='x.html'>link</a></body></html>"));
        TWebBrowseEx browser;
        browser.setUserInterfaceOptions(BannerOptions);
        int asked = 0;
        quint32 id = 99;
        QPoint at;
        if (handler)
            browser.OnShowContextMenu =
                [&](TWebBrowseEx*, quint32 dwID, const QPoint* ppt, QWebEnginePage* target,
                    QWebEngineContextMenuRequest* context, HRESULT& result) {
                    ++asked;
                    id = dwID;
                    at = *ppt;
                    QCOMPARE(target, browser.page());
                    QVERIFY(context);
                    result = S_OK;
                };
        browser.resize(300, 82);
        showPage(browser);
        QVERIFY(navigate(browser, page));
        QTRY_VERIFY_WITH_TIMEOUT(browser.focusProxy(), 10000);
        QWidget* surface = browser.focusProxy();
        QTest::qWait(200); // let the engine lay the page out before it is clicked
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(250, 60));
        if (handler) {
            QTRY_COMPARE_WITH_TIMEOUT(asked, 1, 10000);
            QCOMPARE(id, quint32(CONTEXT_MENU_DEFAULT));
            QCOMPARE(at, surface->mapToGlobal(QPoint(250, 60)));
            QTest::qWait(300);
            QCOMPARE(visibleMenu(), nullptr);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(visibleMenu(), 10000);
            QVERIFY(!visibleMenu()->actions().isEmpty());
            visibleMenu()->close();
        }
    }

    void everyRequestIsTranslated()
    {
        writePage(QStringLiteral("b.html"),
                  QStringLiteral("<html><head><title>B</title></head><body>B</body></html>"));
        const QString a =
            writePage(QStringLiteral("a.html"),
                      QStringLiteral("<html><head><title>A</title></head><body>A</body></html>"));
        TWebBrowseEx browser;
        QStringList asked;
        browser.OnTranslateUrl = [&](TWebBrowseEx*, const QString& in, QString& out) {
            asked << in;
            if (in.endsWith(QStringLiteral("/a.html")))
                out = QUrl::fromLocalFile(m_site.filePath(QStringLiteral("b.html"))).toString();
        };
        QVERIFY(navigate(browser, a));
        QCOMPARE(browser.title(), QStringLiteral("B"));
        QCOMPARE(browser.url().fileName(), QStringLiteral("b.html"));
        QCOMPARE(asked.size(), 2); // a.html, then the redirected b.html, left as it is
        QVERIFY(asked.at(1).endsWith(QStringLiteral("/b.html")));
    }

    void alertAndConfirmGoToShowMessage_data()
    {
        QTest::addColumn<qint32>("answer");
        QTest::addColumn<QString>("title");
        QTest::newRow("OK") << qint32(IDOK) << QStringLiteral("confirmed");
        QTest::newRow("Cancel") << qint32(IDCANCEL) << QStringLiteral("declined");
    }
    void alertAndConfirmGoToShowMessage()
    {
        QFETCH(qint32, answer);
        QFETCH(QString, title);
        const QString page = writePage(
            QStringLiteral("alert.html"),
            QStringLiteral("<html><head><title>-</title></head><body><script>"
                           "alert('你好');"
                           "document.title = confirm('继续？') ? 'confirmed' : 'declined';"
                           "</script></body></html>"));
        TWebBrowseEx browser;
        QList<QPair<QString, quint32>> shown;
        browser.OnShowMessage = [&](TWebBrowseEx*, WId, const QString& text, const QString&,
                                    quint32 type, const QString&, quint32, qint32& result) {
            shown.append({text, type});
            result = answer;
            return S_OK;
        };
        QVERIFY(navigate(browser, page));
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), title, 10000);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0),
                 qMakePair(QStringLiteral("你好"), quint32(MB_OK | MB_ICONEXCLAMATION)));
        QCOMPARE(shown.at(1),
                 qMakePair(QStringLiteral("继续？"), quint32(MB_OKCANCEL | MB_ICONQUESTION)));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void withoutAnAnswerTheEngineShowsItsOwnBox()
    {
        const QString page = writePage(
            QStringLiteral("alert2.html"),
            QStringLiteral("<html><head><title>-</title></head><body><script>"
                           "alert('你好'); document.title = 'after';</script></body></html>"));
        TWebBrowseEx browser;
        int asked = 0;
        browser.OnShowMessage = [&](TWebBrowseEx*, WId, const QString&, const QString&, quint32,
                                    const QString&, quint32, qint32&) {
            ++asked;
            return S_FALSE;
        };
        QList<bool> modeless;
        browser.OnEnableModeless = [&](TWebBrowseEx*, bool enable) { modeless << enable; };
        QString boxText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
            }
        });
        closer.start(50);
        QVERIFY(navigate(browser, page));
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QStringLiteral("after"), 10000);
        QCOMPARE(asked, 1);
        QVERIFY(boxText.contains(QStringLiteral("你好")));
        QCOMPARE(modeless, (QList<bool>{false, true}));
    }

    // A page from elsewhere may ask the user nothing: each request is refused at once, with
    // nothing shown, and the window stays the user's.
    void refusedPageRequestsShowNothing_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("hostAsked"); // the host is still asked first about its boxes
        QTest::newRow("alert, again and again")
            << "for (let i = 0; i < 30; ++i) alert(i); document.title = 'done';" << false << "done"
            << 30;
        QTest::newRow("confirm") << "document.title = confirm('?') ? 'yes' : 'no';" << false << "no"
                                 << 1;
        QTest::newRow("prompt") << "document.title = String(prompt('?', 'x'));" << false << "null"
                                << 0;
        QTest::newRow("new window")
            << "document.title = window.open('about:blank') ? 'opened' : 'refused';" << false
            << "refused" << 0;
        QTest::newRow("permission")
            << "Notification.requestPermission().then(p => document.title = p);" << false
            << "denied" << 0;
        QTest::newRow("file chooser")
            << "document.onclick = () => { document.getElementById('f').click();"
               " document.title = 'clicked'; };"
            << true << "clicked" << 0;
        // The page is left at once: nothing asks whether to stay.
        QTest::newRow("before unload")
            << "window.onbeforeunload = e => { e.preventDefault(); return 'stay'; };"
               " document.onclick = () => location.href = 'about:blank#left';"
            << true << "" << 1;
    }
    void refusedPageRequestsShowNothing()
    {
        QFETCH(QString, script);
        QFETCH(bool, click);
        QFETCH(QString, title);
        QFETCH(int, hostAsked);
        const QString page =
            writePage(QStringLiteral("asks.html"),
                      QStringLiteral("<html><head><title>-</title></head><body style='height:100%'>"
                                     "<input type='file' id='f'><script>") +
                          script + QStringLiteral("</script></body></html>"));
        QWidget window;
        auto* browser = new TWebBrowseEx(&window);
        window.resize(300, 200);
        browser->resize(300, 200);
        browser->setRefusesPageRequests(true);
        int asked = 0;
        browser->OnShowMessage = [&](TWebBrowseEx*, WId, const QString&, const QString&, quint32,
                                     const QString&, quint32, qint32&) {
            ++asked;
            return S_FALSE;
        };
        int shown = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++shown;
                modal->close();
            }
        });
        closer.start(20);
        showPage(window);
        QVERIFY(navigate(*browser, page));
        if (click) {
            QTRY_VERIFY_WITH_TIMEOUT(browser->focusProxy(), 10000);
            QTest::mouseClick(browser->focusProxy(), Qt::LeftButton, {}, QPoint(150, 150));
        }
        if (!title.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(browser->title(), title, 20000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(browser->url().fragment(), QStringLiteral("left"), 20000);
        QTest::qWait(300); // a box would be open by now
        QCOMPARE(shown, 0);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(asked, hostAsked);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible() || w == &window, qPrintable(w->metaObject()->className()));
    }

    void keysGoThroughTheHostFirst()
    {
        const QString page =
            writePage(QStringLiteral("keys.html"),
                      QStringLiteral(
                          "<html><head><title>-</title></head><body><script>"
                          "var keys = [];"
                          "document.addEventListener('keydown', function (e) {"
                          "  if (e.key == 'Enter') e.preventDefault();"
                          "  if (e.key != 'Control') keys.push((e.ctrlKey ? 'Ctrl+' : '') + e.key);"
                          "});"
                          "</script>页</body></html>"));
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* browser = new TWebBrowseEx(&window);
        layout->addWidget(browser);
        window.resize(300, 120);
        int shortcutEnter = 0;
        auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), &window);
        connect(enter, &QShortcut::activated, [&] { ++shortcutEnter; });
        QString masked;
        browser->OnMaskedCtrlChar = [&](TWebBrowseEx*, QChar c) { masked += c; };
        QStringList accelerators;
        browser->OnTranslateAccelerator = [&](TWebBrowseEx*, QKeyEvent* key, const QUuid*, quint32,
                                              bool& done) {
            if (key->key() != Qt::Key_Control)
                accelerators << QKeySequence(key->key()).toString();
            done = key->key() == Qt::Key_X;
        };
        int helpAsked = 0;
        bool helpOfItsOwn = true;
        browser->OnShowHelp = [&](TWebBrowseEx*, WId, const QString& own, quint32 command, quint32,
                                  QPoint, QObject*&) {
            ++helpAsked;
            helpOfItsOwn = !own.isNull() || command != HH_DISPLAY_TOPIC;
            return S_OK;
        };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(navigate(*browser, page));
        QTRY_VERIFY_WITH_TIMEOUT(browser->focusProxy(), 10000);
        QWidget* surface = browser->focusProxy();
        window.activateWindow();
        surface->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(surface->hasFocus());

        QTest::keyClick(surface, Qt::Key_A);
        QTest::keyClick(surface, Qt::Key_X);                      // taken by the host
        QTest::keyClick(surface, Qt::Key_N, Qt::ControlModifier); // masked
        QTest::keyClick(surface, Qt::Key_F1);                     // help, handled
        QTest::keyClick(surface, Qt::Key_Return);                 // the page's, not the shortcut's
        QTest::keyClick(surface, Qt::Key_B);
        QTRY_COMPARE_WITH_TIMEOUT(runScript(*browser, QStringLiteral("keys.join(' ')")).toString(),
                                  QStringLiteral("a Enter b"), 10000);
        QCOMPARE(masked, QStringLiteral("N"));
        QCOMPARE(helpAsked, 1);
        QVERIFY(!helpOfItsOwn);
        QCOMPARE(shortcutEnter, 0);
        QCOMPARE(accelerators, (QStringList{"A", "X", "F1", "Return", "B"}));
    }

    void activationReachesTheHost()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* browser = new TWebBrowseEx(&window);
        auto* other = new QLineEdit(&window);
        layout->addWidget(browser);
        layout->addWidget(other);
        QStringList seen;
        browser->OnOnFrameWindowActivate = [&](TWebBrowseEx*, bool on) {
            seen << (on ? QStringLiteral("frame on") : QStringLiteral("frame off"));
        };
        browser->OnOnDocWindowActivate = [&](TWebBrowseEx*, bool on) {
            seen << (on ? QStringLiteral("doc on") : QStringLiteral("doc off"));
        };
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(seen.contains(QStringLiteral("frame on")));
        QTRY_VERIFY_WITH_TIMEOUT(browser->focusProxy(), 10000);
        other->setFocus();
        QTRY_COMPARE(seen.last(), QStringLiteral("doc off"));
        browser->focusProxy()->setFocus();
        QTRY_COMPARE(seen.last(), QStringLiteral("doc on"));

        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QTRY_VERIFY(seen.contains(QStringLiteral("frame off")));
    }
};

int main(int argc, char** argv)
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    MessageDialogs::installErrorReporter();
    TestWebBrowseEx test;
    const int failed = QTest::qExec(&test, argc, argv);
    keepGraphicsDriverMapped();
    return failed;
}

#include "tst_webbrowseex.moc"
