#pragma once

#include <QWebEnginePage>

class TWebBrowseEx;

// The browser control's page: hands the page's message boxes (alert, confirm) to the host
// first, and shows the engine's own box only when the host did not show one.
class HostPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit HostPage(TWebBrowseEx* browser);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;

private:
    TWebBrowseEx* m_browser;
};
