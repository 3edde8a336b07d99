// libwenquell-banner.so: the banner's browser control and the browser engine behind it.

#include "BannerModule.h"

#include "Exception.h"
#include "MessageDialogs.h"
#include "WebBrowseEx.h"

#include <cstring>

#define WQ_MODULE_EXPORT __attribute__((visibility("default")))

namespace {

void writeError(const std::exception& e, char* error, int errorSize)
{
    if (!error || errorSize <= 0)
        return;
    const QByteArray text = exceptionText(e).toUtf8();
    const int n = qMin(int(text.size()), errorSize - 1);
    std::memcpy(error, text.constData(), size_t(n));
    error[n] = '\0';
}

} // namespace

extern "C" WQ_MODULE_EXPORT QWidget* wenquellCreateBanner(QWidget* parent,
                                                          WqBannerContextMenu onContextMenu,
                                                          void* context, void** control,
                                                          char* error, int errorSize)
{
    try {
        // The module has its own copy of the error handler; it reports the way the program does.
        MessageDialogs::installErrorReporter();
        auto* banner = new TWebBrowseEx(parent);
        banner->setUserInterfaceOptions({TUserInterfaceOption::DontUse3DBorders,
                                         TUserInterfaceOption::DontUseScrollBars,
                                         TUserInterfaceOption::EnableThemes});
        banner->setDisableCtrlShortcuts(QStringLiteral("N"));
        banner->OnShowContextMenu =
            [onContextMenu, context](TWebBrowseEx* sender, quint32, const QPoint*, QWebEnginePage*,
                                     QWebEngineContextMenuRequest*, HRESULT& result) {
                std::int32_t answer = result;
                onContextMenu(context, sender, &answer);
                result = answer;
            };
        *control = banner;
        return banner;
    } catch (const std::exception& e) {
        writeError(e, error, errorSize);
        return nullptr;
    }
}

extern "C" WQ_MODULE_EXPORT int wenquellNavigateBanner(QWidget* banner, const char* address,
                                                       char* error, int errorSize)
{
    try {
        static_cast<TWebBrowseEx*>(banner)->Navigate(QString::fromUtf8(address));
        return 1;
    } catch (const std::exception& e) {
        writeError(e, error, errorSize);
        return 0;
    }
}
