#include "WebBrowseEx.h"

#include "AppPaths.h"
#include "BrowserAddress.h"
#include "ErrorGuard.h"
#include "Exception.h"
#include "HostPage.h"
#include "UrlTranslator.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLayout>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <qdrawutil.h>

#include <cstring>

namespace {

constexpr int ClassicBorderWidth = 2;

bool hasFlag(quint32 flags, TUserInterfaceOption option)
{
    return (flags & hostFlagValue(option)) != 0;
}

const QString HostScriptName = QStringLiteral("wenquell-host");

// What the host flags change inside the documents: text selection, scroll bars (the engine's
// setting covers documents created after a change, the style sheet the one already shown),
// and the block that Enter starts in editable content. Runs in every document and frame, and
// again on the current one when the flags change.
QString hostScript(quint32 flags)
{
    QString css;
    if (hasFlag(flags, TUserInterfaceOption::DisableTextSelect))
        css += QStringLiteral("* { -webkit-user-select: none !important; user-select: none "
                              "!important; } ");
    if (hasFlag(flags, TUserInterfaceOption::DontUseScrollBars))
        css += QStringLiteral("::-webkit-scrollbar { display: none !important; } ");
    const bool div = (flags & DOCHOSTUIFLAG_DIV_BLOCKDEFAULT) != 0;
    return QStringLiteral(R"((function () {
  var id = 'wenquell-host-style';
  var css = '%1';
  var style = document.getElementById(id);
  if (css) {
    if (!style) {
      style = document.createElement('style');
      style.id = id;
      (document.head || document.documentElement).appendChild(style);
    }
    style.textContent = css;
  } else if (style) {
    style.remove();
  }
  try { document.execCommand('defaultParagraphSeparator', false, '%2'); } catch (e) {}
})();)")
        .arg(css, div ? QStringLiteral("div") : QStringLiteral("p"));
}

} // namespace

TWebBrowseEx::TWebBrowseEx(QWidget* parent) : QWebEngineView(parent)
{
    m_translator = new UrlTranslator(this);
    m_page = new HostPage(this);
    m_page->setUrlRequestInterceptor(m_translator);
    setPage(m_page);
    for (QObject* child : children())
        watchPageWidget(child);
    // Every new document asks for the host information, as the browser does on each page.
    connect(this, &QWebEngineView::loadStarted, this,
            [this] { guarded([this] { takeHostInfo(); }); });
    takeHostInfo();
}

TWebBrowseEx::~TWebBrowseEx()
{
    // The page goes first, while the control it calls back is still whole.
    m_page->setUrlRequestInterceptor(nullptr);
    delete m_page;
}

void TWebBrowseEx::Navigate(const QString& URL)
{
    load(browserAddress(URL));
}

void TWebBrowseEx::setRefusesPageRequests(bool value)
{
    m_refusesPageRequests = value;
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, !value);
}

void TWebBrowseEx::setUserInterfaceOptions(TUserInterfaceOptions value)
{
    m_userInterfaceOptions = value;
    m_hostFlags = value.hostFlags();
    ambientPropertyChanged(DISPID_AMBIENT_DLCONTROL);
}

bool TWebBrowseEx::MaskCtrlShortcut(const KeyMessage& message)
{
    const QChar masked = maskedCtrlChar(m_disableCtrlShortcuts, message);
    if (masked.isNull())
        return false;
    if (OnMaskedCtrlChar)
        guarded([&] { OnMaskedCtrlChar(this, masked); });
    return true;
}

// --- Host operations ------------------------------------------------------------------

HRESULT TWebBrowseEx::ShowContextMenu(quint32 dwID, const QPoint* ppt,
                                      QWebEnginePage* pcmdtReserved,
                                      QWebEngineContextMenuRequest* pdispReserved)
{
    HRESULT result = E_NOTIMPL;
    if (OnShowContextMenu)
        guarded([&] { OnShowContextMenu(this, dwID, ppt, pcmdtReserved, pdispReserved, result); });
    return result;
}

HRESULT TWebBrowseEx::GetHostInfo(TDOCHOSTUIINFO& pInfo)
{
    std::memset(&pInfo, 0, sizeof pInfo);
    pInfo.cbSize = sizeof pInfo;
    pInfo.dwFlags = m_hostFlags;
    if (m_enterModeOnEdit == emFlagDiv)
        pInfo.dwFlags |= DOCHOSTUIFLAG_DIV_BLOCKDEFAULT;
    pInfo.dwDoubleClick = 0;
    if (OnGetHostInfo)
        guarded([&] { OnGetHostInfo(this, pInfo); });
    return S_OK;
}

quint32 TWebBrowseEx::hostInfoFlags()
{
    TDOCHOSTUIINFO info;
    GetHostInfo(info);
    return info.dwFlags;
}

HRESULT TWebBrowseEx::ShowUI(quint32 dwID, QObject* pActiveObject, QObject* pCommandTarget,
                             QObject* pFrame, QObject* pDoc)
{
    HRESULT result = S_FALSE;
    if (OnShowUI)
        guarded([&] { OnShowUI(this, dwID, pActiveObject, pCommandTarget, pFrame, pDoc, result); });
    return result;
}

HRESULT TWebBrowseEx::HideUI()
{
    HRESULT result = S_FALSE;
    if (OnHideUI)
        guarded([&] { OnHideUI(this, result); });
    return result;
}

HRESULT TWebBrowseEx::UpdateUI()
{
    HRESULT result = S_FALSE;
    if (OnUpdateUI)
        guarded([&] { OnUpdateUI(this, result); });
    return result;
}

HRESULT TWebBrowseEx::EnableModeless(bool fEnable)
{
    if (OnEnableModeless)
        guarded([&] { OnEnableModeless(this, fEnable); });
    return S_OK;
}

HRESULT TWebBrowseEx::OnDocWindowActivate(bool fActivate)
{
    if (OnOnDocWindowActivate)
        guarded([&] { OnOnDocWindowActivate(this, fActivate); });
    return S_OK;
}

HRESULT TWebBrowseEx::OnFrameWindowActivate(bool fActivate)
{
    if (OnOnFrameWindowActivate)
        guarded([&] { OnOnFrameWindowActivate(this, fActivate); });
    return S_OK;
}

HRESULT TWebBrowseEx::ResizeBorder(const QRect* prcBorder, QObject* pUIWindow, bool fRameWindow)
{
    if (OnResizeBorder)
        guarded([&] { OnResizeBorder(this, prcBorder, pUIWindow, fRameWindow); });
    return S_OK;
}

HRESULT TWebBrowseEx::TranslateAccelerator(QKeyEvent* lpMsg, const QUuid* pguidCmdGroup,
                                           quint32 nCmdID)
{
    bool done = false;
    if (OnTranslateAccelerator)
        guarded([&] { OnTranslateAccelerator(this, lpMsg, pguidCmdGroup, nCmdID, done); });
    return done ? S_OK : S_FALSE;
}

HRESULT TWebBrowseEx::GetOptionKeyPath(QString& pchKey, quint32 dw)
{
    Q_UNUSED(dw);
    // The answer depends on the handler alone, not on what the caller left in the output.
    pchKey = QString();
    if (OnGetOptionKeyPath)
        guarded([&] { OnGetOptionKeyPath(this, pchKey); });
    return pchKey.isNull() ? S_FALSE : S_OK;
}

HRESULT TWebBrowseEx::GetDropTarget(QObject* pDropTarget, QObject*& ppDropTarget)
{
    Q_UNUSED(pDropTarget);
    ppDropTarget = nullptr;
    if (OnGetDropTarget)
        guarded([&] { OnGetDropTarget(this, ppDropTarget); });
    return S_OK;
}

HRESULT TWebBrowseEx::GetExternal(QObject*& ppDispatch)
{
    ppDispatch = nullptr;
    if (OnGetExternal)
        guarded([&] { OnGetExternal(this, ppDispatch); });
    return ppDispatch ? S_OK : S_FALSE;
}

HRESULT TWebBrowseEx::TranslateUrl(quint32 dwTranslate, const QString& pchURLIn,
                                   TaskMemText& ppchURLOut)
{
    Q_UNUSED(dwTranslate);
    QString translated;
    if (OnTranslateUrl)
        guarded([&] { OnTranslateUrl(this, pchURLIn, translated); });
    if (translated.isEmpty())
        return S_FALSE;
    ppchURLOut = taskMemCopy(translated);
    return S_OK;
}

HRESULT TWebBrowseEx::FilterDataObject(const QMimeData* pDO, QMimeData*& ppDORet)
{
    ppDORet = nullptr;
    if (OnFilterDataObject)
        guarded([&] { OnFilterDataObject(this, pDO, ppDORet); });
    return ppDORet ? S_OK : S_FALSE;
}

HRESULT TWebBrowseEx::ShowMessage(WId hwnd, const QString& lpstrText, const QString& lpstrCaption,
                                  quint32 dwType, const QString& lpstrHelpFile,
                                  quint32 dwHelpContext, qint32& plResult)
{
    HRESULT result = S_FALSE;
    if (OnShowMessage)
        guarded([&] {
            result = OnShowMessage(this, hwnd, lpstrText, lpstrCaption, dwType, lpstrHelpFile,
                                   dwHelpContext, plResult);
        });
    return result;
}

HRESULT TWebBrowseEx::ShowHelp(WId hwnd, const QString& pszHelpFile, quint32 uCommand,
                               quint32 dwData, QPoint ptMouse, QObject*& pDispatchObjectHit)
{
    HRESULT result = S_FALSE;
    if (OnShowHelp) {
        guarded([&] {
            result =
                OnShowHelp(this, hwnd, pszHelpFile, uCommand, dwData, ptMouse, pDispatchObjectHit);
        });
        return result;
    }
    if (!pszHelpFile.isNull() || m_helpFile.isEmpty())
        return S_FALSE;
    // A relative help file lies beside the program.
    const QString base = QFileInfo(AppPaths::executableFile()).absolutePath();
    const QUrl url = QUrl::fromUserInput(m_helpFile, base, QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(url) ? S_OK : S_FALSE;
}

// --- The browser's side ---------------------------------------------------------------

void TWebBrowseEx::ambientPropertyChanged(qint32 dispID)
{
    if (dispID == DISPID_AMBIENT_DLCONTROL)
        takeHostInfo();
}

void TWebBrowseEx::takeHostInfo()
{
    TDOCHOSTUIINFO info;
    GetHostInfo(info);
    const quint32 flags = info.dwFlags;

    Border border = Border::None;
    if (!hasFlag(flags, TUserInterfaceOption::DontUse3DBorders))
        border =
            hasFlag(flags, TUserInterfaceOption::DisableThemes) ? Border::Classic : Border::Themed;
    int width = 0;
    if (border == Border::Classic)
        width = ClassicBorderWidth;
    else if (border == Border::Themed)
        width = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    layout()->setContentsMargins(width, width, width, width);
    if (border != m_border) {
        m_border = border;
        update();
    }

    settings()->setAttribute(QWebEngineSettings::ShowScrollBars,
                             !hasFlag(flags, TUserInterfaceOption::DontUseScrollBars));

    const QString source = hostScript(flags);
    QWebEngineScriptCollection& scripts = m_page->scripts();
    const QList<QWebEngineScript> installed = scripts.find(HostScriptName);
    if (installed.size() == 1 && installed.first().sourceCode() == source)
        return;
    for (const QWebEngineScript& old : installed)
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(HostScriptName);
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    scripts.insert(script);
    m_page->runJavaScript(source, QWebEngineScript::ApplicationWorld);
}

void TWebBrowseEx::watchPageWidget(QObject* child)
{
    // The engine shows the page in a child widget of its own, which gets the keyboard.
    if (child->isWidgetType())
        child->installEventFilter(this);
}

bool TWebBrowseEx::pageKeyPress(QKeyEvent* event)
{
    followModifierKey(m_modifierSides, *event);
    bool handled = false;
    guarded([&] {
        if (MaskCtrlShortcut(keyDownMessage(*event, m_modifierSides))) {
            handled = true;
            return;
        }
        if (TranslateAccelerator(event, nullptr, 0) == S_OK) {
            handled = true;
            return;
        }
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            QObject* hit = nullptr;
            handled = ShowHelp(window()->winId(), QString(), HH_DISPLAY_TOPIC, 0, QCursor::pos(),
                               hit) == S_OK;
        }
    });
    return handled;
}

// --- Qt events ------------------------------------------------------------------------

void TWebBrowseEx::contextMenuEvent(QContextMenuEvent* event)
{
    guarded([&] {
        QWebEngineContextMenuRequest* request = lastContextMenuRequest();
        quint32 id = CONTEXT_MENU_DEFAULT;
        if (request)
            id = contextMenuId(request->isContentEditable(),
                               request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage,
                               !request->linkUrl().isEmpty(), !request->selectedText().isEmpty());
        const QPoint at = event->globalPos();
        // S_OK: the host has shown a menu of its own (or none); anything else leaves the
        // menu to the engine.
        if (ShowContextMenu(id, &at, page(), request) == S_OK) {
            event->accept();
            return;
        }
        QWebEngineView::contextMenuEvent(event);
    });
}

bool TWebBrowseEx::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        watchPageWidget(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::WindowActivate:
        OnFrameWindowActivate(true);
        break;
    case QEvent::WindowDeactivate:
        OnFrameWindowActivate(false);
        break;
    default:
        break;
    }
    return QWebEngineView::event(event);
}

bool TWebBrowseEx::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->parent() != this)
        return QWebEngineView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Enter belongs to the page (a form in it may submit), not to a shortcut or a default
        // button of the window.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        if (pageKeyPress(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        followModifierKey(m_modifierSides, *static_cast<QKeyEvent*>(event));
        break;
    case QEvent::FocusIn:
        OnDocWindowActivate(true);
        break;
    case QEvent::FocusOut:
        // Modifier releases are not seen while another widget has the keyboard.
        m_modifierSides = {};
        OnDocWindowActivate(false);
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(watched, event);
}

void TWebBrowseEx::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    if (m_border == Border::None)
        return;
    QPainter painter(this);
    if (m_border == Border::Classic) {
        qDrawWinPanel(&painter, rect(), palette(), true);
        return;
    }
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.frameShape = QFrame::StyledPanel;
    style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
}
