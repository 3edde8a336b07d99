#include "BrowserEngine.h"

#include <QCoreApplication>
#include <QOpenGLContext>

#include <QByteArrayList>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

QT_BEGIN_NAMESPACE
// Exported by Qt GUI (not in its public headers): the context every context made with sharing
// turned on shares with. The browser engine sets it the same way.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

QOpenGLContext* s_shared = nullptr;

void releaseSharedContext()
{
    if (QOpenGLContext::globalShareContext() == s_shared)
        qt_gl_set_global_share_context(nullptr);
    delete s_shared;
    s_shared = nullptr;
}

} // namespace

void prepareBrowserEngine()
{
    // The engine's sandbox refuses to run as root and the engine would not start at all;
    // only then is it switched off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

bool shareBrowserGraphics()
{
    if (!QOpenGLContext::globalShareContext()) {
        s_shared = new QOpenGLContext;
        s_shared->setFormat(QSurfaceFormat::defaultFormat());
        // Without a working context the engine draws in software; it is still given the
        // (invalid) context, as it would be by the application object.
        s_shared->create();
        keepGraphicsDriverMapped();
        qt_gl_set_global_share_context(s_shared);
        // Runs while the application object still has its windowing system.
        qAddPostRoutine(releaseSharedContext);
    }
    // Qt::AA_ShareOpenGLContexts is left alone: set now it only draws a warning, and what it
    // adds (sharing between the widgets of different windows) is not needed for one banner.
    return QOpenGLContext::globalShareContext()->isValid();
}

void keepGraphicsDriverMapped()
{
#ifdef WENQUELL_SANITIZE
    // Mesa's drivers live in a dri/ folder (swrast_dri.so and its kin).
    QByteArrayList drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            const QByteArray name(info->dlpi_name);
            if (name.contains("/dri/"))
                static_cast<QByteArrayList*>(found)->append(name);
            return 0;
        },
        &drivers);
    // Opened once more and never closed; RTLD_NODELETE keeps it mapped even past that.
    for (const QByteArray& driver : drivers)
        dlopen(driver.constData(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}
