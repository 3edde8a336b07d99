// libwenquell-banner.so: the banner's browser control and the browser engine behind it.

#include "BannerModule.h"

#include "Exception.h"
#include "MessageDialogs.h"
#include "WebBrowseEx.h"

#include <QEvent>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QWindow>
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

// Hides the banner's own window when the main window is closed or hidden, and shows it with
// it again. Qt counts it among the top-level windows, and while it is shown (a window inside
// another cannot be closed by itself) the application refuses to quit; so it is hidden also
// when the application is asked to quit, before the application handles that.
class FollowWindow : public QObject
{
public:
    FollowWindow(QWidget* window, QWidget* host) : QObject(host), m_window(window), m_host(host)
    {
        window->installEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance()) {
            if (event->type() == QEvent::Quit)
                m_host->hide();
        } else if (watched == m_window) {
            if (event->type() == QEvent::Close ||
                (event->type() == QEvent::Hide && !event->spontaneous()))
                m_host->hide();
            else if (event->type() == QEvent::Show && !event->spontaneous())
                m_host->show();
        }
        return false;
    }

private:
    QWidget* m_window;
    QWidget* m_host;
};

// Where the browser goes in `parent`. The browser draws through OpenGL, and a window that
// takes such a widget after it is on screen is made again by Qt with an OpenGL surface: a
// new native window, unmapped and mapped, which the user sees as a flicker. So once the
// window exists, the browser gets a window of its own instead: a native window with an OpenGL
// surface from the start (a hidden OpenGL widget asks for it), embedded as a child of the main
// window's native window over `parent`, and owned by `parent`. Before the window exists the
// browser is an ordinary child: the window is then made with the surface it needs. So it is
// too without OpenGL (the engine then draws in software and needs no such surface), and on
// platforms other than X11, where a window inside another has not been tried (the offscreen
// platform cannot do it at all).
QWidget* hostIn(QWidget* parent)
{
    QWidget* window = parent->window();
    const QOpenGLContext* graphics = QOpenGLContext::globalShareContext();
    if (!window->testAttribute(Qt::WA_WState_Created) || !window->windowHandle() || !graphics ||
        !graphics->isValid() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return parent;
    auto* host = new QWidget(parent, Qt::Window | Qt::FramelessWindowHint);
    host->setObjectName(QStringLiteral("bannerHost"));
    // Shown without taking the focus from the main window, which stays the active one.
    host->setAttribute(Qt::WA_ShowWithoutActivating);
    (new QOpenGLWidget(host))->hide();
    host->resize(parent->size());
    host->winId();
    host->windowHandle()->setParent(window->windowHandle());
    host->move(parent->mapTo(window, QPoint(0, 0)));
    host->show();
    new FollowWindow(window, host);
    return host;
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
        auto* banner = new TWebBrowseEx(hostIn(parent));
        banner->setUserInterfaceOptions({TUserInterfaceOption::DontUse3DBorders,
                                         TUserInterfaceOption::DontUseScrollBars,
                                         TUserInterfaceOption::EnableThemes});
        banner->setDisableCtrlShortcuts(QStringLiteral("N"));
        // The strip comes from a web server: nothing it does may take the window from the user.
        banner->setRefusesPageRequests(true);
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
