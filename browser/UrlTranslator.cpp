#include "UrlTranslator.h"

#include "WebBrowseEx.h"

UrlTranslator::UrlTranslator(TWebBrowseEx* browser)
    : QWebEngineUrlRequestInterceptor(browser), m_browser(browser)
{}

void UrlTranslator::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QUrl requested = info.requestUrl();
    TaskMemText translated;
    if (m_browser->TranslateUrl(0, requested.toString(), translated) != S_OK)
        return;
    const QUrl target(taskMemString(translated));
    // An answer that is no address, or the same one, leaves the request as it is; the
    // latter also ends a host's translation of its own answer.
    if (!target.isValid() || target.isRelative() || target == requested)
        return;
    info.redirect(target);
}
