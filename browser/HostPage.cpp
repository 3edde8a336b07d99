#include "HostPage.h"

#include "WebBrowseEx.h"

HostPage::HostPage(TWebBrowseEx* browser) : QWebEnginePage(browser), m_browser(browser) {}

void HostPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    qint32 result = 0;
    const QString caption = QStringLiteral("Javascript Alert - %1").arg(securityOrigin.toString());
    if (m_browser->ShowMessage(m_browser->window()->winId(), msg, caption,
                               MB_OK | MB_ICONEXCLAMATION, QString(), 0, result) == S_OK)
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
    m_browser->EnableModeless(false);
    const bool ok = QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
    m_browser->EnableModeless(true);
    return ok;
}
