#include "HostPage.h"

#include "WebBrowseEx.h"

#include <QCoreApplication>

HostPage::HostPage(TWebBrowseEx* browser) : QWebEnginePage(browser), m_browser(browser)
{
    // Unanswered, a request waits for ever; refused, the page hears no at once.
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                if (refuses())
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
}

// The engine asks whether to leave a page that handles "beforeunload" as a confirm box with
// its own text.
static bool isLeavingQuestion(const QString& msg)
{
    return msg == QCoreApplication::translate("QWebEnginePage",
                                              "Are you sure you want to leave this page? Changes "
                                              "that you made may not be saved.");
}

bool HostPage::refuses() const
{
    return m_browser->RefusesPageRequests();
}

void HostPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    qint32 result = 0;
    const QString caption = QStringLiteral("Javascript Alert - %1").arg(securityOrigin.toString());
    if (m_browser->ShowMessage(m_browser->window()->winId(), msg, caption,
                               MB_OK | MB_ICONEXCLAMATION, QString(), 0, result) == S_OK)
        return;
    if (refuses())
        return;
    m_browser->EnableModeless(false);
    QWebEnginePage::javaScriptAlert(securityOrigin, msg);
    m_browser->EnableModeless(true);
}

bool HostPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    qint32 result = IDCANCEL;
    const QString caption =
        QStringLiteral("Javascript Confirm - %1").arg(securityOrigin.toString());
    if (m_browser->ShowMessage(m_browser->window()->winId(), msg, caption,
                               MB_OKCANCEL | MB_ICONQUESTION, QString(), 0, result) == S_OK)
        return result == IDOK;
    if (refuses())
        return isLeavingQuestion(msg); // a page that asks to stay is left all the same
    m_browser->EnableModeless(false);
    const bool ok = QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
    m_browser->EnableModeless(true);
    return ok;
}

bool HostPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                const QString& defaultValue, QString* result)
{
    if (refuses())
        return false;
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

QStringList HostPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                  const QStringList& acceptedMimeTypes)
{
    if (refuses())
        return {};
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

QWebEnginePage* HostPage::createWindow(WebWindowType type)
{
    if (refuses())
        return nullptr;
    return QWebEnginePage::createWindow(type);
}
