#pragma once

#include <QWebEngineUrlRequestInterceptor>

class TWebBrowseEx;

// Puts every request of the browser control's page through the host's TranslateUrl, and
// redirects the request when the host answers with another address.
class UrlTranslator : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    explicit UrlTranslator(TWebBrowseEx* browser);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    TWebBrowseEx* m_browser;
};
