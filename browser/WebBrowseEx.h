#pragma once

#include "DocHostTypes.h"
#include "KeyMessage.h"
#include "UserInterfaceOptions.h"

#include <QWebEngineView>

#include <functional>

class HostPage;
class QMimeData;
class QUuid;
class QWebEngineContextMenuRequest;
class TWebBrowseEx;
class UrlTranslator;

// Events of the browser control. Each is unset by default; an unset event leaves the
// operation's default answer. Parameters marked in-out in the host operations are references.
using TMaskedCtrlCharEvent = std::function<void(TWebBrowseEx* Sender, QChar MaskedChar)>;
// CommandTarget carries out the menu's commands (QWebEnginePage::triggerAction); Context
// describes what was clicked.
using TShowContextMenuEvent = std::function<void(
    TWebBrowseEx* Sender, quint32 dwID, const QPoint* ppt, QWebEnginePage* CommandTarget,
    QWebEngineContextMenuRequest* Context, HRESULT& Result)>;
using TGetHostInfoEvent = std::function<HRESULT(TWebBrowseEx* Sender, TDOCHOSTUIINFO& pInfo)>;
using TShowUIEvent =
    std::function<void(TWebBrowseEx* Sender, quint32 dwID, QObject* pActiveObject,
                       QObject* pCommandTarget, QObject* pFrame, QObject* pDoc, HRESULT& Result)>;
using TWBEXNotifyEvent = std::function<void(TWebBrowseEx* Sender, HRESULT& Result)>;
using TEnableModelessEvent = std::function<void(TWebBrowseEx* Sender, bool fEnable)>;
using TOnActivateEvent = std::function<void(TWebBrowseEx* Sender, bool fActivate)>;
using TResizeBorderEvent = std::function<void(TWebBrowseEx* Sender, const QRect* prcBorder,
                                              QObject* pUIWindow, bool fRameWindow)>;
using TTranslateAcceleratorEvent =
    std::function<void(TWebBrowseEx* Sender, QKeyEvent* lpMsg, const QUuid* pguidCmdGroup,
                       quint32 nCmdID, bool& Done)>;
using TGetOptionKeyPathEvent = std::function<void(TWebBrowseEx* Sender, QString& pchKey)>;
using TGetDropTargetEvent = std::function<void(TWebBrowseEx* Sender, QObject*& DropTarget)>;
using TGetExternalEvent = std::function<void(TWebBrowseEx* Sender, QObject*& ppDispatch)>;
using TTranslateUrlEvent =
    std::function<void(TWebBrowseEx* Sender, const QString& pchURLIn, QString& ppchURLOut)>;
using TFilterDataObjectEvent =
    std::function<void(TWebBrowseEx* Sender, const QMimeData* pDO, QMimeData*& ppDORet)>;
using TShowMessageEvent = std::function<HRESULT(
    TWebBrowseEx* Sender, WId hwnd, const QString& lpstrText, const QString& lpstrCaption,
    quint32 dwType, const QString& lpstrHelpFile, quint32 dwHelpContext, qint32& plResult)>;
using TShowHelpEvent = std::function<HRESULT(
    TWebBrowseEx* Sender, WId hwnd, const QString& pszHelpFile, quint32 uCommand, quint32 dwData,
    QPoint ptMouse, QObject*& pDispatchObjectHit)>;

// A web browser whose host decides how it looks and behaves: borders, scroll bars, themes,
// its context menu, the page's message boxes, help, accelerator keys and address
// translation. The browser asks through the host operations below; each raises its event,
// and without a handler a fixed default answer is given.
class TWebBrowseEx : public QWebEngineView
{
    Q_OBJECT
public:
    explicit TWebBrowseEx(QWidget* parent = nullptr);
    ~TWebBrowseEx() override;

    // Opens an address: a URL with a scheme, or an absolute local path. An address that is
    // not one raises an Exception; a page that then fails to load shows the engine's error
    // page.
    void Navigate(const QString& URL);

    QString HelpFile() const { return m_helpFile; }
    void setHelpFile(const QString& value) { m_helpFile = value; }
    TEnterMode EnterModeOnEdit() const { return m_enterModeOnEdit; }
    void setEnterModeOnEdit(TEnterMode value) { m_enterModeOnEdit = value; }
    QString DisableCtrlShortcuts() const { return m_disableCtrlShortcuts; }
    void setDisableCtrlShortcuts(const QString& value) { m_disableCtrlShortcuts = value; }
    // A page that may ask nothing of the user: its message boxes (when the host shows none),
    // prompts, file choosers, new windows and permission requests are all
    // refused without showing anything. For pages from elsewhere, such as an advertising strip.
    bool RefusesPageRequests() const { return m_refusesPageRequests; }
    void setRefusesPageRequests(bool value);
    TUserInterfaceOptions UserInterfaceOptions() const { return m_userInterfaceOptions; }
    // Stores the set, recomputes the host flags and has the browser take them at once, also
    // when the set is the same as before.
    void setUserInterfaceOptions(TUserInterfaceOptions value);

    TMaskedCtrlCharEvent OnMaskedCtrlChar;
    TShowMessageEvent OnShowMessage;
    TShowHelpEvent OnShowHelp;
    TEnableModelessEvent OnEnableModeless;
    TFilterDataObjectEvent OnFilterDataObject;
    TGetDropTargetEvent OnGetDropTarget;
    TGetExternalEvent OnGetExternal;
    TGetOptionKeyPathEvent OnGetOptionKeyPath;
    TShowContextMenuEvent OnShowContextMenu;
    TGetHostInfoEvent OnGetHostInfo;
    TOnActivateEvent OnOnDocWindowActivate;
    TOnActivateEvent OnOnFrameWindowActivate;
    TResizeBorderEvent OnResizeBorder;
    TShowUIEvent OnShowUI;
    TWBEXNotifyEvent OnUpdateUI;
    TWBEXNotifyEvent OnHideUI;
    TTranslateAcceleratorEvent OnTranslateAccelerator;
    TTranslateUrlEvent OnTranslateUrl;

    // The Ctrl shortcut test on a key-down message: when the key is one of
    // DisableCtrlShortcuts pressed with Ctrl, raises OnMaskedCtrlChar and returns true (the
    // key is handled and does not reach the page).
    bool MaskCtrlShortcut(const KeyMessage& message);

    // The host operations. None of them throws: an exception from a handler goes to the
    // general error handler, and the answer is what the operation had at that point.
    HRESULT ShowContextMenu(quint32 dwID, const QPoint* ppt, QWebEnginePage* pcmdtReserved,
                            QWebEngineContextMenuRequest* pdispReserved);
    HRESULT GetHostInfo(TDOCHOSTUIINFO& pInfo);
    // The flags GetHostInfo hands the browser now; reachable by name, for hosts that hold the
    // control only as a widget.
    Q_INVOKABLE quint32 hostInfoFlags();
    HRESULT ShowUI(quint32 dwID, QObject* pActiveObject, QObject* pCommandTarget, QObject* pFrame,
                   QObject* pDoc);
    HRESULT HideUI();
    HRESULT UpdateUI();
    HRESULT EnableModeless(bool fEnable);
    HRESULT OnDocWindowActivate(bool fActivate);
    HRESULT OnFrameWindowActivate(bool fActivate);
    HRESULT ResizeBorder(const QRect* prcBorder, QObject* pUIWindow, bool fRameWindow);
    HRESULT TranslateAccelerator(QKeyEvent* lpMsg, const QUuid* pguidCmdGroup, quint32 nCmdID);
    HRESULT GetOptionKeyPath(QString& pchKey, quint32 dw);
    HRESULT GetDropTarget(QObject* pDropTarget, QObject*& ppDropTarget);
    HRESULT GetExternal(QObject*& ppDispatch);
    // On S_OK, ppchURLOut holds the translated address; on S_FALSE it is left untouched.
    HRESULT TranslateUrl(quint32 dwTranslate, const QString& pchURLIn, TaskMemText& ppchURLOut);
    HRESULT FilterDataObject(const QMimeData* pDO, QMimeData*& ppDORet);
    HRESULT ShowMessage(WId hwnd, const QString& lpstrText, const QString& lpstrCaption,
                        quint32 dwType, const QString& lpstrHelpFile, quint32 dwHelpContext,
                        qint32& plResult);
    // pszHelpFile: the browser's own help file, or a null string for none.
    HRESULT ShowHelp(WId hwnd, const QString& pszHelpFile, quint32 uCommand, quint32 dwData,
                     QPoint ptMouse, QObject*& pDispatchObjectHit);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Border
    {
        None,
        Themed,
        Classic,
    };

    // The browser's side of an ambient property change: it asks its host for the host
    // information again and takes it.
    void ambientPropertyChanged(qint32 dispID);
    void takeHostInfo();
    void watchPageWidget(QObject* child);
    bool pageKeyPress(QKeyEvent* event);

    QString m_helpFile;
    TEnterMode m_enterModeOnEdit = emFlagDiv;
    QString m_disableCtrlShortcuts = QStringLiteral("N");
    bool m_refusesPageRequests = false;
    TUserInterfaceOptions m_userInterfaceOptions;
    quint32 m_hostFlags = 0;

    UrlTranslator* m_translator = nullptr;
    HostPage* m_page = nullptr;
    Border m_border = Border::Themed;
    ModifierSides m_modifierSides;
};
