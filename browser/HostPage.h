#pragma once

#include <QWebEnginePage>

class TWebBrowseEx;

// The browser control's page: hands the page's message boxes (alert, confirm) to the host
// first, and shows the engine's own box only when the host did not show one, and the control
// does not refuse what its page asks (TWebBrowseEx::RefusesPageRequests).
class HostPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit HostPage(TWebBrowseEx* browser);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    bool refuses() const;

    TWebBrowseEx* m_browser;
};
